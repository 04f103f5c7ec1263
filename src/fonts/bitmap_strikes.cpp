// Bitmap strikes of an sfnt font (EBLC and EBDT): an OpenType bitmap font
// (.otb) holds nothing else, and an outline font may carry strikes for
// small sizes. A strike 8 high from its ascender to its descender and at
// most 8 wide, whatever its pixels to the em, is an 8x8 font (a smaller
// one goes into 8x8 cells on its baseline); its glyphs are keyed by
// Unicode through the cmap, and placed by a code page.
#include <algorithm>
#include <array>
#include <vector>

#include "fonts/code_pages.h"
#include "fonts/codecs.h"
#include "fonts/placement.h"
#include "fonts/sfnt.h"

namespace mdlReplace {

namespace {

constexpr std::size_t kStrikeRecord = 48;
constexpr std::uint32_t kMostStrikes = 256;
constexpr std::uint32_t kMostSubtables = 65536;
constexpr std::uint32_t kMostGlyphs = 65536;  // glyph numbers are 16 bits
constexpr int kCellPixels = static_cast<int>(kGlyphSize);
constexpr std::string_view kDamaged =
    "is an OpenType font whose bitmap data is damaged.";

// The metrics of a glyph's image: its size, and where its top left pixel
// lies from the origin on the baseline.
struct ImageMetrics {
  int height = 0;
  int width = 0;
  int bearing_x = 0;
  int bearing_y = 0;
};

struct Strike {
  std::size_t record = 0;  // in the EBLC
  int ascender = 0;
  int descender = 0;
  int width_max = 0;
  int ppem = 0;
  int bit_depth = 0;
  // The row of the 8x8 cell, from its top, that the baseline lies on.
  int baseline_row = 0;
  std::uint16_t first_glyph = 0;
  std::uint16_t last_glyph = 0;
};

// Where a glyph's image lies in the EBDT, in which format, and, for the
// formats without metrics of their own, its metrics.
struct ImageAt {
  std::size_t offset = 0;
  std::size_t length = 0;
  std::uint16_t format = 0;
  ImageMetrics metrics;
};

// Both kinds of glyph metrics open alike: height, width and the bearings
// across and down; then the advance, and in the big kind the vertical
// metrics.
constexpr std::size_t kSmallMetricsRest = 1;
constexpr std::size_t kBigMetricsRest = 4;

ImageMetrics Metrics(ByteReader* reader, std::size_t rest) {
  ImageMetrics metrics;
  metrics.height = reader->U8();
  metrics.width = reader->U8();
  metrics.bearing_x = reader->S8();
  metrics.bearing_y = reader->S8();
  reader->Skip(rest);
  return metrics;
}

class StrikeFont {
 public:
  explicit StrikeFont(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  // Finds the tables and the strikes; false when there are none.
  bool Open();
  const std::vector<Strike>& strikes() const { return strikes_; }
  // The glyph of a character, 0 for none.
  std::uint16_t GlyphOf(char32_t character) const;
  // Draws the glyph of the strike into the cell, its ascender at the top;
  // false when its data is damaged, or, with *outside, its ink leaves the
  // cell.
  bool Draw(const Strike& strike, std::uint16_t glyph, Glyph* cell,
            bool* outside) const;

 private:
  bool FindImage(const Strike& strike, std::uint16_t glyph, ImageAt* image,
                 bool* found) const;
  bool FindInSubtable(std::uint64_t header, std::uint16_t first,
                      std::uint16_t glyph, ImageAt* image) const;
  std::uint16_t GlyphInFormat4(std::size_t subtable, char32_t character) const;
  std::uint16_t GlyphInFormat12(std::size_t subtable, char32_t character) const;

  std::span<const std::uint8_t> bytes_;
  SfntTable eblc_, ebdt_;
  std::size_t cmap4_ = 0;  // the Unicode subtables of format 4 and 12
  std::size_t cmap12_ = 0;
  std::vector<Strike> strikes_;
};

bool StrikeFont::Open() {
  SfntTable cmap;
  if (!FindSfntTable(bytes_, "EBLC", &eblc_) ||
      !FindSfntTable(bytes_, "EBDT", &ebdt_) ||
      !FindSfntTable(bytes_, "cmap", &cmap))
    return false;
  ByteReader reader(bytes_, true);
  reader.Seek(eblc_.offset + 4);
  const std::uint32_t count = reader.U32();
  if (!reader.ok() || count > kMostStrikes)
    return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    Strike strike;
    strike.record = eblc_.offset + 8 + std::size_t{i} * kStrikeRecord;
    reader.Seek(strike.record + 16);
    strike.ascender = reader.S8();
    strike.descender = reader.S8();
    strike.width_max = reader.U8();
    reader.Seek(strike.record + 40);
    strike.first_glyph = reader.U16();
    strike.last_glyph = reader.U16();
    reader.U8();  // ppem across
    strike.ppem = reader.U8();
    strike.bit_depth = reader.U8();
    strike.baseline_row =
        kCellPixels -
        static_cast<int>(RowsBelowBaseline(strike.ascender, -strike.descender));
    if (!reader.ok() ||
        strike.record + kStrikeRecord > eblc_.offset + eblc_.length)
      return false;
    strikes_.push_back(strike);
  }
  // Unicode's subtables, or Microsoft's for Unicode.
  reader.Seek(cmap.offset + 2);
  const std::uint16_t subtables = reader.U16();
  for (std::uint16_t i = 0; i < subtables && reader.ok(); ++i) {
    const std::uint16_t platform = reader.U16();
    const std::uint16_t encoding = reader.U16();
    const std::size_t subtable = cmap.offset + reader.U32();
    ByteReader format(bytes_, true);
    format.Seek(subtable);
    const std::uint16_t number = format.U16();
    if (!format.ok() || !(platform == 0 ||
                          (platform == 3 && (encoding == 1 || encoding == 10))))
      continue;
    if (number == 4)
      cmap4_ = subtable;
    else if (number == 12)
      cmap12_ = subtable;
  }
  return reader.ok() && !strikes_.empty();
}

std::uint16_t StrikeFont::GlyphOf(char32_t character) const {
  if (cmap12_ != 0)
    return GlyphInFormat12(cmap12_, character);
  return cmap4_ != 0 && character <= 0xFFFF ? GlyphInFormat4(cmap4_, character)
                                            : 0;
}

// Segments of 16-bit characters: the one that ends at or after the
// character, if it starts at or before it.
std::uint16_t StrikeFont::GlyphInFormat4(std::size_t subtable,
                                         char32_t character) const {
  ByteReader reader(bytes_, true);
  reader.Seek(subtable + 6);
  const std::size_t segments = reader.U16() / 2;
  const std::size_t ends = subtable + 14;
  const std::size_t starts = ends + 2 * segments + 2;
  const std::size_t deltas = starts + 2 * segments;
  const std::size_t range_offsets = deltas + 2 * segments;
  for (std::size_t i = 0; i < segments && reader.ok(); ++i) {
    reader.Seek(ends + 2 * i);
    if (reader.U16() < character)
      continue;
    reader.Seek(starts + 2 * i);
    const std::uint16_t start = reader.U16();
    reader.Seek(deltas + 2 * i);
    const std::uint16_t delta = reader.U16();
    reader.Seek(range_offsets + 2 * i);
    const std::uint16_t range_offset = reader.U16();
    if (!reader.ok() || start > character)
      return 0;
    if (range_offset == 0)
      return static_cast<std::uint16_t>(character + delta);
    reader.Seek(range_offsets + 2 * i + range_offset +
                2 * std::size_t{character - start});
    const std::uint16_t glyph = reader.U16();
    return reader.ok() && glyph != 0 ? static_cast<std::uint16_t>(glyph + delta)
                                     : 0;
  }
  return 0;
}

// Groups of characters mapped to consecutive glyphs.
std::uint16_t StrikeFont::GlyphInFormat12(std::size_t subtable,
                                          char32_t character) const {
  ByteReader reader(bytes_, true);
  reader.Seek(subtable + 12);
  const std::uint32_t groups = reader.U32();
  for (std::uint32_t i = 0; i < groups && reader.ok(); ++i) {
    const std::uint32_t first = reader.U32();
    const std::uint32_t last = reader.U32();
    const std::uint32_t glyph = reader.U32();
    if (reader.ok() && character >= first && character <= last) {
      const std::uint32_t found = glyph + (character - first);
      return found <= 0xFFFF ? static_cast<std::uint16_t>(found) : 0;
    }
  }
  return 0;
}

// The glyph's image through the strike's index subtables; *found false
// when the strike has none for it.
bool StrikeFont::FindImage(const Strike& strike, std::uint16_t glyph,
                           ImageAt* image, bool* found) const {
  ByteReader reader(bytes_, true);
  reader.Seek(strike.record);
  const std::uint64_t array = std::uint64_t{eblc_.offset} + reader.U32();
  reader.Skip(4);
  const std::uint32_t subtables = reader.U32();
  if (!reader.ok() || subtables > kMostSubtables)
    return false;
  reader.Seek(array);
  for (std::uint32_t i = 0; i < subtables; ++i) {
    const std::uint16_t first = reader.U16();
    const std::uint16_t last = reader.U16();
    const std::uint32_t offset = reader.U32();
    if (!reader.ok())
      return false;
    if (glyph < first || glyph > last)
      continue;
    *found = true;
    return FindInSubtable(array + offset, first, glyph, image);
  }
  *found = false;
  return true;
}

// The five index formats: offsets of 32 or 16 bits for each glyph from the
// first, images of one size, and glyph numbers with their offsets or alone.
bool StrikeFont::FindInSubtable(std::uint64_t header, std::uint16_t first,
                                std::uint16_t glyph, ImageAt* image) const {
  ByteReader reader(bytes_, true);
  reader.Seek(header);
  const std::uint16_t index_format = reader.U16();
  image->format = reader.U16();
  const std::uint64_t data = std::uint64_t{ebdt_.offset} + reader.U32();
  const std::size_t nth = glyph - first;
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
  if (index_format == 1 || index_format == 3) {
    const std::size_t width = index_format == 1 ? 4 : 2;
    reader.Skip(nth * width);
    begin = width == 4 ? reader.U32() : reader.U16();
    end = width == 4 ? reader.U32() : reader.U16();
  } else if (index_format == 2 || index_format == 5) {
    const std::uint32_t size = reader.U32();
    image->metrics = Metrics(&reader, kBigMetricsRest);
    std::size_t position = nth;
    if (index_format == 5) {
      const std::uint32_t count = std::min(reader.U32(), kMostGlyphs);
      position = count;
      for (std::uint32_t i = 0; i < count && reader.ok(); ++i) {
        if (reader.U16() == glyph)
          position = i;
      }
      if (position == count)
        return false;
    }
    begin = std::uint64_t{size} * position;
    end = begin + size;
  } else if (index_format == 4) {
    // Pairs of a glyph number and its image's offset, one more at the end.
    const std::uint32_t count = std::min(reader.U32(), kMostGlyphs);
    const std::size_t pairs = reader.at();
    std::uint32_t i = 0;
    for (; i < count && reader.ok(); ++i) {
      reader.Seek(pairs + 4 * std::size_t{i});
      if (reader.U16() == glyph)
        break;
    }
    if (i >= count)
      return false;
    reader.Seek(pairs + 4 * std::size_t{i} + 2);
    begin = reader.U16();
    reader.Skip(2);
    end = reader.U16();
  } else {
    return false;
  }
  if (!reader.ok() || end < begin ||
      data + end > std::uint64_t{ebdt_.offset} + ebdt_.length)
    return false;
  image->offset = static_cast<std::size_t>(data + begin);
  image->length = static_cast<std::size_t>(end - begin);
  return true;
}

bool StrikeFont::Draw(const Strike& strike, std::uint16_t glyph, Glyph* cell,
                      bool* outside) const {
  ImageAt image;
  bool found = false;
  if (!FindImage(strike, glyph, &image, &found))
    return false;
  if (!found)
    return true;  // no image: a blank glyph
  ByteReader reader(bytes_.subspan(image.offset, image.length), true);
  bool byte_aligned = false;
  switch (image.format) {
    case 1:
    case 2:
      image.metrics = Metrics(&reader, kSmallMetricsRest);
      byte_aligned = image.format == 1;
      break;
    case 5:
      break;
    case 6:
    case 7:
      image.metrics = Metrics(&reader, kBigMetricsRest);
      byte_aligned = image.format == 6;
      break;
    default:
      return false;  // composites, and colour
  }
  const ImageMetrics& metrics = image.metrics;
  const std::size_t row_bits =
      byte_aligned ? (metrics.width + 7) / 8 * 8 : metrics.width;
  const std::span<const std::uint8_t> bits =
      reader.Take((row_bits * metrics.height + 7) / 8);
  if (!reader.ok())
    return false;
  for (int y = 0; y < metrics.height; ++y) {
    for (int x = 0; x < metrics.width; ++x) {
      const std::size_t bit = y * row_bits + x;
      if ((bits[bit / 8] >> (7 - bit % 8) & 1) == 0)
        continue;
      const int row = strike.baseline_row - metrics.bearing_y + y;
      const int column = metrics.bearing_x + x;
      if (row < 0 || row >= kCellPixels || column < 0 ||
          column >= kCellPixels) {
        *outside = true;
        return false;
      }
      (*cell)[static_cast<std::size_t>(row)] |=
          static_cast<std::uint8_t>(0x80 >> column);
    }
  }
  return true;
}

int HeightOf(const Strike& strike) {
  return strike.ascender - strike.descender;
}

std::string SizeOf(const Strike& strike) {
  return std::to_string(strike.width_max) + "x" +
         std::to_string(HeightOf(strike));
}

// A strike whose cells the game's take: 8x8 or smaller, whatever its
// pixels to the em.
bool FitsGameCell(const Strike& strike) {
  return FitsCell(strike.width_max, HeightOf(strike));
}

// Whether the strike's cells are taller than the other's, or as tall and
// wider: an 8x8 strike beats every other that fits, wherever it is listed.
bool Larger(const Strike& strike, const Strike& other) {
  return HeightOf(strike) != HeightOf(other)
             ? HeightOf(strike) > HeightOf(other)
             : strike.width_max > other.width_max;
}

// The strike to read: the largest of one bit a pixel that fits, an 8x8
// one if there is one, as of a FON's fonts; null when there is none, and
// then *problem says why.
const Strike* ChooseStrike(std::span<const std::uint8_t> bytes,
                           const std::vector<Strike>& strikes,
                           std::string* problem) {
  const Strike* chosen = nullptr;
  const Strike* other_depth = nullptr;
  std::string sizes;
  for (std::size_t i = 0; i < strikes.size(); ++i) {
    const Strike& strike = strikes[i];
    if (i > 0)
      sizes += i + 1 == strikes.size() ? " and " : ", ";
    sizes += SizeOf(strike);
    if (!FitsGameCell(strike))
      continue;
    if (strike.bit_depth != 1)
      other_depth = &strike;
    else if (chosen == nullptr || Larger(strike, *chosen))
      chosen = &strike;
  }
  const std::string kind =
      ListsOutlines(bytes) ? "a TrueType font" : "an OpenType bitmap font";
  if (chosen == nullptr && other_depth != nullptr)
    *problem = "is " + kind + " whose " + SizeOf(*other_depth) +
               " strike has " + std::to_string(other_depth->bit_depth) +
               " bits a pixel, not 1.";
  else if (chosen == nullptr)
    *problem = "is " + kind + " of " + sizes + " strikes, none 8x8.";
  return chosen;
}

std::string OutsideCell(char32_t character) {
  return "is an OpenType font whose bitmap glyph for " +
         UnicodeName(character) + " does not fit an 8x8 cell.";
}

}  // namespace

StrikeRead ReadBitmapStrike(std::span<const std::uint8_t> bytes,
                            CodePageUse* use, FontImage* font,
                            std::string* problem) {
  StrikeFont strikes(bytes);
  if (!strikes.Open()) {
    if (ListsSfntTable(bytes, "EBLC"))
      *problem = std::string(kDamaged);
    return StrikeRead::None;
  }
  const Strike* chosen = ChooseStrike(bytes, strikes.strikes(), problem);
  if (chosen == nullptr)
    return StrikeRead::None;
  // Each code's character, or else the Linux console's character that
  // names the code itself.
  GlyphPlacer placer(use, font);
  NoteGlyphSize(use, chosen->width_max, HeightOf(*chosen));
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    char32_t character = placer.code_page().characters[code];
    std::uint16_t glyph = character == 0 ? 0 : strikes.GlyphOf(character);
    if (glyph == 0) {
      character = kDirectCharacters + static_cast<char32_t>(code);
      glyph = strikes.GlyphOf(character);
    }
    if (glyph == 0)
      continue;
    Glyph cell{};
    bool outside = false;
    if (!strikes.Draw(*chosen, glyph, &cell, &outside)) {
      *problem = outside ? OutsideCell(character) : std::string(kDamaged);
      return StrikeRead::Read;
    }
    placer.PlaceAtCode(code, cell);
  }
  return StrikeRead::Read;
}

}  // namespace mdlReplace
