// Windows bitmap fonts: an FNT font (versions 2 and 3), or a FON file, a
// 16-bit NE executable whose font resources are FNT fonts. An FNT's glyphs
// are those of the code page of its character set, from its first code to
// its last; each glyph is stored a column of 8 pixels at a time, top row
// first.
#include <algorithm>
#include <array>

#include "fonts/codecs.h"
#include "fonts/placement.h"

namespace mdlReplace {

namespace {

constexpr std::uint16_t kVersion2 = 0x0200;
constexpr std::uint16_t kVersion3 = 0x0300;
constexpr std::size_t kVersion2Header = 118;
constexpr std::size_t kVersion3Header = 148;
constexpr std::uint16_t kVectorFont = 0x0001;
constexpr std::array<std::uint8_t, 2> kMzMagic = {'M', 'Z'};
constexpr std::array<std::uint8_t, 2> kNeMagic = {'N', 'E'};
constexpr std::size_t kNewHeaderOffset = 0x3C;
constexpr std::size_t kResourceTableOffset = 0x24;
constexpr std::uint16_t kFontResource = 0x8008;
// A FON holds a few sizes of one face: more is no font file.
constexpr std::size_t kMostResourceTypes = 64;

// Character sets whose glyphs are those of a code page; the symbol set's
// and the OEM set's stay at their codes (the OEM set is the PC's own).
struct CharacterSet {
  std::uint8_t number;
  int code_page;
};
constexpr std::array<CharacterSet, 11> kCharacterSets = {{
    {0, 1252},    // ANSI
    {238, 1250},  // Eastern Europe
    {204, 1251},  // Russian
    {161, 1253},  // Greek
    {162, 1254},  // Turkish
    {177, 1255},  // Hebrew
    {178, 1256},  // Arabic
    {186, 1257},  // Baltic
    {163, 1258},  // Vietnamese
    {255, 437},   // OEM
    {2, 0},       // symbol: its codes are its own
}};

constexpr std::string_view kDamaged =
    "is a Windows font whose data is damaged.";
constexpr std::string_view kVector = "is a Windows vector font, not a bitmap.";
constexpr std::string_view kNoFonts =
    "is a Windows program with no fonts in it.";

std::string CellSize(std::uint32_t width, std::uint32_t height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

std::string UnknownCharacterSet(std::uint8_t number) {
  return "is a Windows font of character set " + std::to_string(number) +
         ", which no code page of this program's covers.";
}

std::string NoneEightByEight(const std::vector<std::string>& sizes) {
  std::string list;
  for (std::size_t i = 0; i < sizes.size(); ++i)
    list += (i == 0 ? "" : i + 1 == sizes.size() ? " and " : ", ") + sizes[i];
  return "is a Windows font file of " + list + " glyphs, none 8x8.";
}

// The header fields the reading needs.
struct FntHeader {
  std::uint16_t version = 0;
  std::uint32_t size = 0;
  std::uint16_t type = 0;
  std::uint8_t character_set = 0;
  std::uint16_t pixel_width = 0;  // 0 in a font of glyphs of many widths
  std::uint16_t pixel_height = 0;
  std::uint16_t ascent = 0;  // rows above the baseline
  std::uint16_t widest = 0;
  std::uint8_t first = 0;
  std::uint8_t last = 0;
};

FntHeader ReadHeader(std::span<const std::uint8_t> bytes, bool* ok) {
  ByteReader reader(bytes);
  FntHeader header;
  header.version = reader.U16();
  header.size = reader.U32();
  reader.Seek(66);
  header.type = reader.U16();
  reader.Seek(74);
  header.ascent = reader.U16();
  reader.Seek(85);
  header.character_set = reader.U8();
  header.pixel_width = reader.U16();
  header.pixel_height = reader.U16();
  reader.Seek(93);
  header.widest = reader.U16();
  header.first = reader.U8();
  header.last = reader.U8();
  *ok = reader.ok();
  return header;
}

bool IsFnt(const FntHeader& header) {
  return (header.version == kVersion2 || header.version == kVersion3) &&
         header.size >= kVersion2Header && header.first <= header.last;
}

std::uint32_t CellWidth(const FntHeader& header) {
  return header.pixel_width != 0 ? header.pixel_width : header.widest;
}

bool IsEightByEight(const FntHeader& header) {
  return header.pixel_height == kGlyphSize && header.widest <= kGlyphSize;
}

// A bitmap font whose cells the game's take, 8x8 or smaller.
bool FitsGameCell(const FntHeader& header) {
  return (header.type & kVectorFont) == 0 && header.widest <= kGlyphSize &&
         FitsCell(CellWidth(header), header.pixel_height);
}

const CodePage* CodePageOf(std::uint8_t character_set, bool* known) {
  for (const CharacterSet& set : kCharacterSets) {
    if (set.number == character_set) {
      *known = true;
      return FindCodePage(set.code_page);
    }
  }
  *known = false;
  return nullptr;
}

// Reads an 8x8 FNT. Its character table has, for each code from the first
// to one past the last, the glyph's width and the offset of its bits.
std::string ReadFnt(std::span<const std::uint8_t> bytes,
                    const FntHeader& header, CodePageUse* use,
                    FontImage* font) {
  if ((header.type & kVectorFont) != 0)
    return std::string(kVector);
  if (!FitsGameCell(header))
    return NotEightByEight("Windows", CellWidth(header), header.pixel_height);
  bool known = false;
  const CodePage* source = CodePageOf(header.character_set, &known);
  if (!known)
    return UnknownCharacterSet(header.character_set);
  const bool version3 = header.version == kVersion3;
  ByteReader table(bytes);
  table.Seek(version3 ? kVersion3Header : kVersion2Header);
  GlyphPlacer placer(use, font);
  NoteGlyphSize(use, CellWidth(header), header.pixel_height);
  // A smaller cell's rows go into the 8x8 cell on its baseline.
  const std::int64_t height = header.pixel_height;
  const std::int64_t top =
      std::int64_t{kGlyphSize} - header.ascent -
      RowsBelowBaseline(header.ascent, height - header.ascent);
  for (std::size_t code = header.first; code <= header.last; ++code) {
    const std::uint16_t width = table.U16();
    const std::uint32_t offset = version3 ? table.U32() : table.U16();
    ByteReader bits(bytes);
    bits.Seek(offset);
    const std::span<const std::uint8_t> rows =
        bits.Take(static_cast<std::uint64_t>(height));
    if (!table.ok() || !bits.ok() || width > kGlyphSize)
      return std::string(kDamaged);
    Glyph glyph{};
    const std::uint8_t mask = static_cast<std::uint8_t>(0xFF00 >> width);
    for (std::int64_t row = 0; row < height; ++row)
      glyph[static_cast<std::size_t>(top + row)] =
          rows[static_cast<std::size_t>(row)] & mask;
    if (source == nullptr)
      placer.PlaceAtCode(code, glyph);
    else
      placer.PlaceFromCodePage(*source, code, glyph);
  }
  return std::string();
}

// The FNT fonts of an NE executable's resource table: an alignment shift,
// then for each type of resource its entries, until a type of 0.
std::vector<std::span<const std::uint8_t>> FontResources(
    std::span<const std::uint8_t> bytes, bool* ok) {
  std::vector<std::span<const std::uint8_t>> fonts;
  ByteReader reader(bytes);
  reader.Seek(kNewHeaderOffset);
  const std::uint32_t new_header = reader.U32();
  reader.Seek(std::uint64_t{new_header} + kResourceTableOffset);
  const std::uint16_t table = reader.U16();
  reader.Seek(std::uint64_t{new_header} + table);
  const std::uint16_t shift = reader.U16();
  *ok = reader.ok() && shift < 16;
  for (std::size_t types = 0; *ok && types < kMostResourceTypes; ++types) {
    const std::uint16_t type = reader.U16();
    if (type == 0)
      return fonts;
    const std::uint16_t count = reader.U16();
    reader.Skip(4);
    for (std::uint16_t i = 0; i < count; ++i) {
      const std::uint64_t offset = std::uint64_t{reader.U16()} << shift;
      const std::uint64_t length = std::uint64_t{reader.U16()} << shift;
      reader.Skip(8);
      if (!reader.ok() || offset > bytes.size()) {
        *ok = false;
        return fonts;
      }
      if (type == kFontResource)
        fonts.push_back(
            bytes.subspan(static_cast<std::size_t>(offset))
                .first(static_cast<std::size_t>(
                    std::min<std::uint64_t>(length, bytes.size() - offset))));
    }
  }
  *ok = false;
  return fonts;
}

// The 8x8 font of a FON, or else its tallest smaller than 8x8, or the sizes
// it holds instead.
std::string ReadFon(std::span<const std::uint8_t> bytes, CodePageUse* use,
                    FontImage* font) {
  bool ok = false;
  const std::vector<std::span<const std::uint8_t>> resources =
      FontResources(bytes, &ok);
  if (!ok)
    return std::string(kDamaged);
  std::vector<std::string> sizes;
  std::span<const std::uint8_t> tallest;
  FntHeader tallest_header;
  for (std::span<const std::uint8_t> resource : resources) {
    const FntHeader header = ReadHeader(resource, &ok);
    if (!ok || !IsFnt(header))
      return std::string(kDamaged);
    if (IsEightByEight(header) && FitsGameCell(header))
      return ReadFnt(resource, header, use, font);
    if (FitsGameCell(header) &&
        (tallest.empty() ||
         header.pixel_height > tallest_header.pixel_height)) {
      tallest = resource;
      tallest_header = header;
    }
    const std::string size = CellSize(CellWidth(header), header.pixel_height);
    if (std::find(sizes.begin(), sizes.end(), size) == sizes.end())
      sizes.push_back(size);
  }
  // Without an 8x8 font, the tallest of those smaller.
  if (!tallest.empty())
    return ReadFnt(tallest, tallest_header, use, font);
  if (sizes.empty())
    return std::string(kNoFonts);
  return NoneEightByEight(sizes);
}

bool IsNeExecutable(std::span<const std::uint8_t> bytes) {
  ByteReader reader(bytes);
  reader.Seek(kNewHeaderOffset);
  const std::uint32_t new_header = reader.U32();
  reader.Seek(new_header);
  return BeginsWith(bytes, kMzMagic) && reader.ok() &&
         BeginsWith(bytes.subspan(reader.at()), kNeMagic);
}

}  // namespace

bool LooksLikeWindowsFont(std::span<const std::uint8_t> bytes) {
  if (IsNeExecutable(bytes))
    return true;
  bool ok = false;
  const FntHeader header = ReadHeader(bytes, &ok);
  return ok && IsFnt(header) && header.size <= kLargestFontFile;
}

std::string ReadWindowsFont(std::span<const std::uint8_t> bytes,
                            CodePageUse* use, FontImage* font) {
  if (IsNeExecutable(bytes))
    return ReadFon(bytes, use, font);
  bool ok = false;
  return ReadFnt(bytes, ReadHeader(bytes, &ok), use, font);
}

}  // namespace mdlReplace
