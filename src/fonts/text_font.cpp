// The program's own text format: for each glyph a line "0x41", eight lines
// of eight "#" (ink) or "." (background), and an empty line. It is meant to
// be edited by hand, so a file may have CRLF line ends, trailing blanks, a
// byte-order mark, glyphs in any order and glyphs left out (blank).
#include <algorithm>
#include <array>
#include <bitset>

#include "base/names.h"
#include "fonts/codecs.h"

namespace mdlReplace {

namespace {

constexpr char kInk = '#';
constexpr char kBackground = '.';

std::string MalformedLine(std::size_t line) {
  return std::string("is a text font with a malformed line ") +
         std::to_string(line) + ".";
}

std::string GivenTwice(std::size_t code, std::size_t line) {
  return std::string("is a text font that gives glyph 0x") + HexByte(code) +
         " twice (line " + std::to_string(line) + ").";
}

// The code of a glyph's first line, "0x41" (either case), or -1.
int ParseCode(std::string_view line) {
  if (line.size() != 4 || line[0] != '0' || (line[1] != 'x' && line[1] != 'X'))
    return -1;
  const int high = HexDigitValue(line[2]);
  const int low = HexDigitValue(line[3]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

bool ParseRow(std::string_view line, std::uint8_t* row) {
  if (line.size() != kGlyphSize)
    return false;
  *row = 0;
  for (std::size_t column = 0; column < kGlyphSize; ++column) {
    if (line[column] != kInk && line[column] != kBackground)
      return false;
    if (line[column] == kInk)
      *row |= static_cast<std::uint8_t>(0x80 >> column);
  }
  return true;
}

}  // namespace

// Blank lines may come before the first glyph, as between glyphs.
bool LooksLikeTextFont(std::span<const std::uint8_t> bytes) {
  return ParseCode(FirstTextLine(bytes)) >= 0;
}

std::string ReadTextFont(std::span<const std::uint8_t> bytes, FontImage* font) {
  LineReader lines(bytes);
  std::bitset<kGlyphCount> seen;
  font->fill(0);
  std::string_view line;
  while (lines.Next(&line)) {
    if (line.empty())
      continue;
    const int code = ParseCode(line);
    if (code < 0)
      return MalformedLine(lines.number());
    if (seen[static_cast<std::size_t>(code)])
      return GivenTwice(static_cast<std::size_t>(code), lines.number());
    seen.set(static_cast<std::size_t>(code));
    for (std::size_t row = 0; row < kGlyphSize; ++row) {
      const std::size_t at = static_cast<std::size_t>(code) * kGlyphSize + row;
      if (!lines.Next(&line))
        return MalformedLine(lines.number() + 1);
      if (!ParseRow(line, &(*font)[at]))
        return MalformedLine(lines.number());
    }
  }
  return std::string();
}

Bytes WriteTextFont(const FontImage& font) {
  std::string text;
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    text += std::string("0x") + HexByte(code) + "\n";
    for (std::size_t row = 0; row < kGlyphSize; ++row) {
      for (std::size_t column = 0; column < kGlyphSize; ++column)
        text += IsInk(font, code, row, column) ? kInk : kBackground;
      text += '\n';
    }
    text += '\n';
  }
  return Bytes(text.begin(), text.end());
}

}  // namespace mdlReplace
