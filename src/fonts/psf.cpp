// PSF, the Linux console's font format, versions 1 and 2.
#include <algorithm>
#include <array>
#include <functional>
#include <vector>

#include "fonts/codecs.h"
#include "fonts/placement.h"

namespace mdlReplace {

namespace {

constexpr std::array<std::uint8_t, 2> kPsf1Magic = {0x36, 0x04};
constexpr std::array<std::uint8_t, 4> kPsf2Magic = {0x72, 0xb5, 0x4a, 0x86};
constexpr std::size_t kPsf1HeaderSize = 4;
constexpr std::size_t kPsf2HeaderSize = 32;
// Version 1's mode: 512 glyphs instead of 256, a Unicode table, sequences
// in it. Any other bit is no PSF.
constexpr std::uint8_t kPsf1Has512 = 0x01;
constexpr std::uint8_t kPsf1Modes = 0x07;
constexpr std::uint8_t kPsf1HasTable = 0x06;
constexpr std::uint32_t kPsf2HasTable = 0x01;
// In version 1's table, of 16-bit characters, and version 2's, of UTF-8.
constexpr std::uint16_t kPsf1SequenceStart = 0xFFFE;
constexpr std::uint16_t kPsf1GlyphEnd = 0xFFFF;
constexpr std::uint8_t kPsf2SequenceStart = 0xFE;
constexpr std::uint8_t kPsf2GlyphEnd = 0xFF;

// A code page is a font's own when the font draws the characters of its
// upper half at their codes, all but at most these.
constexpr std::size_t kFirstOwnCode = 0x80;
constexpr std::size_t kMostOwnMisses = 8;

constexpr std::string_view kEndsEarly =
    "is a PSF font that ends before its last glyph.";
constexpr std::string_view kDamagedHeader =
    "is a PSF font with a damaged header.";
constexpr std::string_view kTableEndsEarly =
    "is a PSF font whose Unicode table ends early.";

// Where the glyphs are, how large, and the Unicode table if the font has
// one. A glyph is a byte a row, the leftmost pixel in the high bit.
struct PsfLayout {
  std::uint64_t glyphs_at = 0;
  std::uint64_t count = 0;
  std::uint64_t width = kGlyphSize;
  std::uint64_t height = kGlyphSize;
  bool unicode = false;
  bool utf8 = false;  // version 2's table, else version 1's
};

// The glyph, in the top rows of its 8x8 cell: a console font keeps no
// baseline, and its rows count from the top.
Glyph GlyphAt(std::span<const std::uint8_t> bytes, const PsfLayout& layout,
              std::uint64_t index) {
  Glyph glyph{};
  const std::uint8_t mask = static_cast<std::uint8_t>(0xFF00 >> layout.width);
  ByteReader rows(bytes);
  rows.Seek(layout.glyphs_at + index * layout.height);
  for (std::uint64_t row = 0; row < layout.height; ++row)
    glyph[row] = rows.U8() & mask;
  return glyph;
}

std::string TooFewGlyphs(std::uint64_t count) {
  return std::string("is a PSF font of only ") + std::to_string(count) +
         " glyphs, not 256.";
}

// A UTF-8 character from the table, whose first byte was read; false at a
// byte that begins none, or a character that the table cuts short.
bool NextUtf8(std::uint8_t lead, ByteReader* table, char32_t* character) {
  const std::size_t length = lead < 0x80    ? 1
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                                            : 2;
  if (lead >= 0x80 && lead < 0xC0)
    return false;
  *character = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i)
    *character = *character << 6 | (table->U8() & 0x3F);
  return table->ok();
}

// Hands each glyph's characters to each, by the glyph's index: a glyph's
// entry lists its characters, then perhaps sequences of them (accented
// letters made of two, which the game has no use for), and ends with a
// mark.
std::string WalkTable(
    std::span<const std::uint8_t> bytes, const PsfLayout& layout,
    const std::function<void(std::uint64_t, char32_t)>& each) {
  ByteReader table(bytes);
  table.Seek(layout.glyphs_at + layout.count * layout.height);
  for (std::uint64_t index = 0; index < layout.count; ++index) {
    bool in_sequence = false;
    for (;;) {
      char32_t character = 0;
      if (layout.utf8) {
        const std::uint8_t lead = table.U8();
        if (!table.ok())
          return std::string(kTableEndsEarly);
        if (lead == kPsf2GlyphEnd || lead == kPsf2SequenceStart) {
          in_sequence = lead == kPsf2SequenceStart;
          if (!in_sequence)
            break;
          continue;
        }
        if (!NextUtf8(lead, &table, &character))
          return std::string(kTableEndsEarly);
      } else {
        character = table.U16();
        if (!table.ok())
          return std::string(kTableEndsEarly);
        if (character == kPsf1GlyphEnd)
          break;
        in_sequence = in_sequence || character == kPsf1SequenceStart;
      }
      if (!in_sequence)
        each(index, character);
    }
  }
  return std::string();
}

// The characters of each glyph, placed by the code page.
std::string PlaceByTable(std::span<const std::uint8_t> bytes,
                         const PsfLayout& layout, GlyphPlacer* placer) {
  return WalkTable(bytes, layout, [&](std::uint64_t index, char32_t character) {
    placer->PlaceCharacter(character, GlyphAt(bytes, layout, index));
  });
}

// The code page the font is made for, as its table tells: the one whose
// characters of the upper half (where the code pages differ) it draws at
// their codes, all or all but a few that a font maker drew otherwise.
// Null where none comes that close, or the table is damaged.
const CodePage* OwnCodePage(std::span<const std::uint8_t> bytes,
                            const PsfLayout& layout) {
  std::array<std::vector<char32_t>, kGlyphCount> characters;
  const std::string problem =
      WalkTable(bytes, layout, [&](std::uint64_t index, char32_t character) {
        if (index >= kFirstOwnCode && index < kGlyphCount)
          characters[index].push_back(character);
      });
  if (!problem.empty())
    return nullptr;
  const CodePage* own = nullptr;
  std::size_t fewest = kMostOwnMisses + 1;
  for (const CodePage& code_page : KnownCodePages()) {
    std::size_t misses = 0;
    for (std::size_t code = kFirstOwnCode; code < kGlyphCount; ++code) {
      const char32_t wanted = code_page.characters[code];
      const std::vector<char32_t>& drawn = characters[code];
      if (wanted != 0 &&
          std::find(drawn.begin(), drawn.end(), wanted) == drawn.end())
        ++misses;
    }
    if (misses < fewest) {
      fewest = misses;
      own = &code_page;
    }
  }
  return own;
}

// Placed by the code page the font tells it is made for, whose order its
// glyphs follow (named or not): a code to which that code page gives no
// character (the controls of most) keeps the glyph the font draws there,
// which no character of its table can place.
void KeepCodesWithoutCharacter(std::span<const std::uint8_t> bytes,
                               const PsfLayout& layout, const CodePage& own,
                               GlyphPlacer* placer) {
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    const Glyph glyph = GlyphAt(bytes, layout, code);
    if (own.characters[code] == 0 &&
        std::any_of(glyph.begin(), glyph.end(),
                    [](std::uint8_t row) { return row != 0; }))
      placer->PlaceAtCode(code, glyph);
  }
}

// The glyphs, once the file holds all of them: the first 256 where they
// are, or by the Unicode table in the code page named.
std::string TakeGlyphs(std::span<const std::uint8_t> bytes,
                       const PsfLayout& layout, CodePageUse* use,
                       FontImage* font) {
  if (bytes.size() < layout.glyphs_at ||
      (bytes.size() - layout.glyphs_at) / layout.height < layout.count)
    return std::string(kEndsEarly);
  NoteGlyphSize(use, static_cast<std::int64_t>(layout.width),
                static_cast<std::int64_t>(layout.height));
  const bool named = use->named != nullptr || use->named_without_table != 0;
  const CodePage* own = layout.unicode ? OwnCodePage(bytes, layout) : nullptr;
  if (!named)
    use->own = own;
  if (layout.unicode && (named || (use->by_own && own != nullptr))) {
    GlyphPlacer placer(use, font);
    std::string problem = PlaceByTable(bytes, layout, &placer);
    // Named or not, the code page its glyphs follow places it the same.
    const CodePage* placing = named ? use->named : own;
    if (problem.empty() && placing != nullptr && placing == own)
      KeepCodesWithoutCharacter(bytes, layout, *own, &placer);
    return problem;
  }
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    const Glyph glyph = GlyphAt(bytes, layout, code);
    std::copy(glyph.begin(), glyph.end(),
              font->begin() + static_cast<std::ptrdiff_t>(code * kGlyphSize));
  }
  return std::string();
}

std::string ReadVersion1(std::span<const std::uint8_t> bytes, CodePageUse* use,
                         FontImage* font) {
  ByteReader header(bytes);
  header.Skip(kPsf1Magic.size());
  const std::uint8_t mode = header.U8();
  const std::uint8_t height = header.U8();
  if (!header.ok())
    return std::string(kEndsEarly);
  if (!FitsCell(kGlyphSize, height))
    return NotEightByEight("PSF", kGlyphSize, height);
  PsfLayout layout;
  layout.height = height;
  layout.glyphs_at = kPsf1HeaderSize;
  layout.count = (mode & kPsf1Has512) != 0 ? 512 : 256;
  layout.unicode = (mode & kPsf1HasTable) != 0;
  return TakeGlyphs(bytes, layout, use, font);
}

std::string ReadVersion2(std::span<const std::uint8_t> bytes, CodePageUse* use,
                         FontImage* font) {
  ByteReader header(bytes);
  header.Skip(kPsf2Magic.size() + 4);  // and the version, always 0
  const std::uint32_t header_size = header.U32();
  const std::uint32_t flags = header.U32();
  const std::uint32_t count = header.U32();
  const std::uint32_t glyph_bytes = header.U32();
  const std::uint32_t height = header.U32();
  const std::uint32_t width = header.U32();
  if (!header.ok())
    return std::string(kEndsEarly);
  if (!FitsCell(width, height))
    return NotEightByEight("PSF", width, height);
  if (header_size < kPsf2HeaderSize || glyph_bytes != height)
    return std::string(kDamagedHeader);
  if (count < kGlyphCount)
    return TooFewGlyphs(count);
  PsfLayout layout;
  layout.width = width;
  layout.height = height;
  layout.glyphs_at = header_size;
  layout.count = count;
  layout.unicode = (flags & kPsf2HasTable) != 0;
  layout.utf8 = true;
  return TakeGlyphs(bytes, layout, use, font);
}

}  // namespace

bool LooksLikePsf(std::span<const std::uint8_t> bytes) {
  return BeginsWith(bytes, kPsf2Magic) ||
         (BeginsWith(bytes, kPsf1Magic) && bytes.size() >= kPsf1HeaderSize &&
          (bytes[2] & ~kPsf1Modes) == 0 && bytes[3] != 0);
}

std::string ReadPsf(std::span<const std::uint8_t> bytes, CodePageUse* use,
                    FontImage* font) {
  return BeginsWith(bytes, kPsf2Magic) ? ReadVersion2(bytes, use, font)
                                       : ReadVersion1(bytes, use, font);
}

// Version 1, 256 glyphs, no Unicode table: what setfont loads.
Bytes WritePsf(const FontImage& font) {
  Bytes bytes(kPsf1HeaderSize + kFontSize);
  std::copy(kPsf1Magic.begin(), kPsf1Magic.end(), bytes.begin());
  bytes[2] = 0;  // mode: 256 glyphs, nothing else
  bytes[3] = static_cast<std::uint8_t>(kGlyphSize);
  std::copy(font.begin(), font.end(), bytes.begin() + kPsf1HeaderSize);
  return bytes;
}

}  // namespace mdlReplace
