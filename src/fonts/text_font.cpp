// The program's own text format: for each glyph a line "0x41", eight lines
// of eight "#" (ink) or "." (background), and an empty line. It is meant to
// be edited by hand, so a file may have CRLF line ends, trailing blanks, a
// byte-order mark, glyphs in any order and glyphs left out (blank).
#include <algorithm>
#include <array>
#include <bitset>

#include "fonts/codecs.h"
#include "platform/names.h"

namespace mdlReplace {

namespace {

constexpr std::array<std::uint8_t, 3> kByteOrderMark = {0xEF, 0xBB, 0xBF};
constexpr char kInk = '#';
constexpr char kBackground = '.';
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

std::string MalformedLine(std::size_t line) {
  return std::string("is a text font with a malformed line ") +
         std::to_string(line) + ".";
}

std::string GivenTwice(std::size_t code, std::size_t line) {
  return std::string("is a text font that gives glyph 0x") + HexByte(code) +
         " twice (line " + std::to_string(line) + ").";
}

// The code of a glyph's first line, "0x41" (either case), or -1.
int ParseCode(const std::string& line) {
  if (line.size() != 4 || line[0] != '0' || (line[1] != 'x' && line[1] != 'X'))
    return -1;
  const int high = HexDigitValue(line[2]);
  const int low = HexDigitValue(line[3]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

bool ParseRow(const std::string& line, std::uint8_t* row) {
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

std::span<const std::uint8_t> WithoutByteOrderMark(
    std::span<const std::uint8_t> bytes) {
  if (bytes.size() >= kByteOrderMark.size() &&
      std::equal(kByteOrderMark.begin(), kByteOrderMark.end(), bytes.begin()))
    return bytes.subspan(kByteOrderMark.size());
  return bytes;
}

}  // namespace

int HexDigitValue(char c) {
  const std::size_t at = kHexDigits.find(AsciiUpper(c));
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

std::string HexByte(std::size_t value) {
  std::string hex(2, '0');
  hex[0] = kHexDigits[(value >> 4) & 0xF];
  hex[1] = kHexDigits[value & 0xF];
  return hex;
}

std::vector<std::string> TextLines(std::span<const std::uint8_t> bytes) {
  std::vector<std::string> lines(1);
  for (std::uint8_t byte : WithoutByteOrderMark(bytes)) {
    if (byte == '\n')
      lines.emplace_back();
    else
      lines.back() += static_cast<char>(byte);
  }
  for (std::string& line : lines) {
    while (!line.empty() &&
           (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.pop_back();
  }
  return lines;
}

bool LooksLikeTextFont(std::span<const std::uint8_t> bytes) {
  const std::vector<std::string> lines =
      TextLines(bytes.subspan(0, std::min<std::size_t>(bytes.size(), 64)));
  return lines.size() > 1 && ParseCode(lines[0]) >= 0;
}

std::string ReadTextFont(std::span<const std::uint8_t> bytes, FontImage* font) {
  const std::vector<std::string> lines = TextLines(bytes);
  std::bitset<kGlyphCount> seen;
  font->fill(0);
  for (std::size_t at = 0; at < lines.size();) {
    if (lines[at].empty()) {
      ++at;
      continue;
    }
    const int code = ParseCode(lines[at]);
    if (code < 0)
      return MalformedLine(at + 1);
    if (seen[static_cast<std::size_t>(code)])
      return GivenTwice(static_cast<std::size_t>(code), at + 1);
    seen.set(static_cast<std::size_t>(code));
    for (std::size_t row = 0; row < kGlyphSize; ++row) {
      const std::size_t line = at + 1 + row;
      if (line >= lines.size() ||
          !ParseRow(
              lines[line],
              &(*font)[static_cast<std::size_t>(code) * kGlyphSize + row]))
        return MalformedLine(line + 1);
    }
    at += 1 + kGlyphSize;
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
