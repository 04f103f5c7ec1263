// What the readers share: numbers, hex digits and lines of text.
#include <algorithm>
#include <array>

#include "base/names.h"
#include "fonts/codecs.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";
// The two bytes of every gzip file, and deflate, its only method.
constexpr std::array<std::uint8_t, 3> kGzipStart = {0x1F, 0x8B, 0x08};

}  // namespace

bool LooksLikeGzip(std::span<const std::uint8_t> bytes) {
  return BeginsWith(bytes, kGzipStart);
}

std::string NoGlyphAtAnyCode(std::string_view reason) {
  return "has no glyph at any of the 256 codes (" + std::string(reason) + ").";
}

std::string NotEightByEight(std::string_view kind, std::int64_t width,
                            std::int64_t height) {
  return "is a " + std::string(kind) + " font of " + std::to_string(width) +
         "x" + std::to_string(height) + " glyphs, not 8x8.";
}

bool AllHexDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return HexDigitValue(c) >= 0; });
}

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

std::string UnicodeName(char32_t character) {
  std::string name = "U+";
  for (int shift = character > 0xFFFF ? 16 : 8; shift >= 0; shift -= 8)
    name += HexByte(character >> shift & 0xFF);
  return name;
}

}  // namespace mdlReplace
