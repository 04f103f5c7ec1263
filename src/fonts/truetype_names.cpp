// What the fonts written as sfnt files are called, and which character
// each glyph is: the cmap and name tables.

#include "base/names.h"
#include "fonts/sfnt_writing.h"
#include "fonts/truetype_writing.h"

namespace mdlReplace {

namespace {

// Unicode's platform, and Microsoft's for its BMP: the same subtable, and
// the names in US English.
constexpr std::uint16_t kUnicodePlatform = 0;
constexpr std::uint16_t kUnicodeBmp = 3;
constexpr std::uint16_t kMicrosoftPlatform = 3;
constexpr std::uint16_t kMicrosoftBmp = 1;
constexpr std::uint16_t kUsEnglish = 0x409;
constexpr std::uint16_t kSegmentMapping = 4;
constexpr std::uint16_t kEndOfSegments = 0xFFFF;

constexpr std::string_view kNoStem = "zyr2font";
constexpr std::size_t kLongestStem = 20;
constexpr std::string_view kStyle = "Regular";
constexpr std::string_view kVersion = "Version 1.000";
// A PostScript name has 63 printable ASCII letters at most, and none of
// these.
constexpr std::size_t kLongestPostScriptName = 63;
constexpr std::string_view kNotInPostScriptNames = " []{}()<>/%";

// The names' numbers run from 1: the family, its style, the font's own
// name, its full name, the version, the PostScript name.
constexpr std::size_t kNames = 6;

// Every character the cmap maps is in Unicode's first plane (the direct
// ones too), and no two codes have the same.
constexpr std::size_t kPlane = 0x10000;

// The glyph of each character of the plane; 0 for none.
std::vector<std::uint16_t> GlyphsOfCharacters(const CodePage& code_page) {
  std::vector<std::uint16_t> glyph_of(kPlane);
  for (std::size_t code = 0; code < kGlyphCount; ++code)
    glyph_of[CharacterOfCode(code_page, code)] =
        static_cast<std::uint16_t>(code + 1);
  return glyph_of;
}

// Runs of characters whose glyphs run alike, each mapped by a delta from
// the character to its glyph, then the segment that ends the table.
Bytes SegmentMap(const CodePage& code_page) {
  const std::vector<std::uint16_t> glyph_of = GlyphsOfCharacters(code_page);
  Bytes ends, starts, deltas;
  std::size_t count = 0;
  std::size_t last = 0;
  std::uint16_t last_delta = 0;
  for (std::size_t character = 0; character < kPlane; ++character) {
    if (glyph_of[character] == 0)
      continue;
    const auto delta = static_cast<std::uint16_t>(
        glyph_of[character] - static_cast<std::uint16_t>(character));
    if (count > 0 && last + 1 == character && last_delta == delta) {
      ends.resize(ends.size() - 2);  // the run goes on
    } else {
      PutU16(&starts, static_cast<int>(character));
      PutU16(&deltas, delta);
      ++count;
    }
    PutU16(&ends, static_cast<int>(character));
    last = character;
    last_delta = delta;
  }
  PutU16(&ends, kEndOfSegments);
  PutU16(&starts, kEndOfSegments);
  PutU16(&deltas, 1);
  ++count;
  std::size_t power = 0;
  int log = 0;
  SearchFields(count, &power, &log);
  Bytes table;
  PutU16(&table, kSegmentMapping);
  PutU16(&table, static_cast<int>(16 + 8 * count));
  PutU16(&table, 0);  // any language
  PutU16(&table, static_cast<int>(2 * count));
  PutU16(&table, static_cast<int>(2 * power));
  PutU16(&table, log);
  PutU16(&table, static_cast<int>(2 * (count - power)));
  PutBytes(&table, ends);
  PutU16(&table, 0);
  PutBytes(&table, starts);
  PutBytes(&table, deltas);
  table.resize(table.size() + 2 * count);  // every glyph found by its delta
  return table;
}

// The file's name without its folders and its last extension.
// Windows keeps 31 letters of a family's name: the stem keeps its first
// 20 characters, so that " 8x8 CP1250" stays whole.
std::string_view StemOf(std::string_view file_name) {
  std::string_view stem = FileNameOf(file_name);
  const std::size_t dot = stem.rfind('.');
  if (dot != std::string_view::npos)
    stem = stem.substr(0, dot);
  std::size_t characters = 0;
  for (std::size_t at = 0; at < stem.size(); ++at) {
    // A byte of UTF-8 that begins a character.
    if ((static_cast<std::uint8_t>(stem[at]) & 0xC0) != 0x80 &&
        ++characters > kLongestStem)
      return stem.substr(0, at);
  }
  return stem.empty() ? kNoStem : stem;
}

// The character of the UTF-8 sequence that begins at the byte, and its
// length; a length of 0 where no character begins.
std::size_t Utf8Character(std::string_view text, std::size_t at,
                          char32_t* character) {
  const auto lead = static_cast<std::uint8_t>(text[at]);
  const std::size_t length = lead < 0x80   ? 1
                             : lead < 0xC0 ? 0
                             : lead < 0xE0 ? 2
                             : lead < 0xF0 ? 3
                             : lead < 0xF8 ? 4
                                           : 0;
  if (length == 0 || at + length > text.size())
    return 0;
  *character = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<std::uint8_t>(text[at + i]);
    if ((next & 0xC0) != 0x80)
      return 0;
    *character = *character << 6 | (next & 0x3F);
  }
  const bool surrogate = *character >= 0xD800 && *character < 0xE000;
  return surrogate || *character > 0x10FFFF ? 0 : length;
}

// UTF-16, big-endian, of UTF-8 text; a byte that begins no character is
// left out.
Bytes Utf16(std::string_view text) {
  Bytes utf16;
  for (std::size_t at = 0; at < text.size();) {
    char32_t character = 0;
    const std::size_t length = Utf8Character(text, at, &character);
    at += length == 0 ? 1 : length;
    if (length == 0)
      continue;
    if (character >= 0x10000) {
      character -= 0x10000;
      PutU16(&utf16, static_cast<int>(0xD800 + (character >> 10)));
      PutU16(&utf16, static_cast<int>(0xDC00 + (character & 0x3FF)));
    } else {
      PutU16(&utf16, static_cast<int>(character));
    }
  }
  return utf16;
}

std::string PostScriptName(std::string_view family) {
  std::string name;
  for (char c : family) {
    if (c > ' ' && c < 0x7F &&
        kNotInPostScriptNames.find(c) == std::string_view::npos &&
        name.size() < kLongestPostScriptName)
      name += c;
  }
  name += '-';
  name += kStyle;
  return name;
}

}  // namespace

Bytes CmapTable(const CodePage& code_page) {
  const Bytes subtable = SegmentMap(code_page);
  constexpr std::size_t kHeader = 4 + 2 * 8;
  Bytes table;
  PutU16(&table, 0);
  PutU16(&table, 2);  // two encodings, both of the one subtable
  for (std::uint16_t platform : {kUnicodePlatform, kMicrosoftPlatform}) {
    PutU16(&table, platform);
    PutU16(&table, platform == kUnicodePlatform ? kUnicodeBmp : kMicrosoftBmp);
    PutU32(&table, kHeader);
  }
  PutBytes(&table, subtable);
  return table;
}

char32_t FirstCharacter(const CodePage& code_page) {
  const std::vector<std::uint16_t> glyph_of = GlyphsOfCharacters(code_page);
  std::size_t character = 0;
  while (glyph_of[character] == 0)
    ++character;
  return static_cast<char32_t>(character);
}

char32_t LastCharacter(const CodePage& code_page) {
  const std::vector<std::uint16_t> glyph_of = GlyphsOfCharacters(code_page);
  std::size_t character = kPlane - 1;
  while (glyph_of[character] == 0)
    --character;
  return static_cast<char32_t>(character);
}

Bytes NameTable(std::string_view file_name, const CodePage& code_page) {
  std::string family(StemOf(file_name));
  family += " 8x8 CP";
  family += std::to_string(code_page.number);
  const std::string post_script = PostScriptName(family);
  std::string unique = post_script;
  unique += ';';
  unique += kVersion;
  const std::string_view names[kNames] = {family, kStyle,   unique,
                                          family, kVersion, post_script};
  constexpr std::size_t kRecord = 12;
  const std::size_t count = kNames;
  Bytes table, strings;
  PutU16(&table, 0);
  PutU16(&table, static_cast<int>(count));
  PutU16(&table, static_cast<int>(6 + kRecord * count));
  for (std::size_t id = 1; id <= kNames; ++id) {
    const Bytes utf16 = Utf16(names[id - 1]);
    PutU16(&table, kMicrosoftPlatform);
    PutU16(&table, kMicrosoftBmp);
    PutU16(&table, kUsEnglish);
    PutU16(&table, static_cast<int>(id));
    PutU16(&table, static_cast<int>(utf16.size()));
    PutU16(&table, static_cast<int>(strings.size()));
    PutBytes(&strings, utf16);
  }
  PutBytes(&table, strings);
  return table;
}

}  // namespace mdlReplace
