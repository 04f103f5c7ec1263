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

LineReader::LineReader(std::span<const std::uint8_t> bytes) {
  const std::span<const std::uint8_t> text = WithoutByteOrderMark(bytes);
  text_ =
      std::string_view(reinterpret_cast<const char*>(text.data()), text.size());
}

bool LineReader::Next(std::string_view* line) {
  if (at_ > text_.size())
    return false;
  std::size_t end = text_.find('\n', at_);
  if (end == std::string_view::npos)
    end = text_.size();
  std::string_view found = text_.substr(at_, end - at_);
  while (!found.empty() &&
         (found.back() == '\r' || found.back() == ' ' || found.back() == '\t'))
    found.remove_suffix(1);
  *line = found;
  at_ = end + 1;
  ++number_;
  return true;
}

std::string_view FirstTextLine(std::span<const std::uint8_t> bytes) {
  LineReader lines(bytes);
  std::string_view line;
  while (lines.Next(&line)) {
    if (line.find_first_not_of(" \t") != std::string_view::npos)
      return line;
  }
  return std::string_view();
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while ((at = line.find_first_not_of(" \t", at)) != std::string_view::npos) {
    const std::size_t end =
        std::min(line.find_first_of(" \t", at), line.size());
    words.push_back(line.substr(at, end - at));
    at = end;
  }
  return words;
}

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
