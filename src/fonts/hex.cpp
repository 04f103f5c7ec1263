// Unicode hex fonts: a line a glyph, the character's code in hex, a colon,
// and the glyph's rows in hex. 16 digits make an 8x8 glyph; 32 make an
// 8x16 one, and 64 a 16x16 one (GNU Unifont's are of both), which are no
// font of the game's.
#include "fonts/codecs.h"
#include "fonts/placement.h"

namespace mdlReplace {

namespace {

constexpr std::size_t kShortestCode = 4;
constexpr std::size_t kLongestCode = 6;
constexpr char32_t kLastCharacter = 0x10FFFF;
constexpr std::size_t kDigitsOf8x8 = 16;
// A row of 16 pixels is 4 digits: GNU Unifont's glyphs are 8 or 16 wide
// (and its tools' 24 or 32).
constexpr std::size_t kDigitsOf8x16 = 32;
constexpr std::size_t kRowsOf16 = 16;

std::string MalformedLine(std::size_t line) {
  return std::string("is a hex font with a malformed line ") +
         std::to_string(line) + ".";
}

std::string Not8x8(std::size_t digits, std::size_t line) {
  return "is a hex font of " + std::to_string(digits * 4 / kRowsOf16) +
         "x16 glyphs (line " + std::to_string(line) + "), not 8x8.";
}

bool AllHex(std::string_view text) {
  return !text.empty() && AllHexDigits(text);
}

// The character before the colon, and the digits after it; false when the
// line is no glyph's.
bool SplitLine(std::string_view line, char32_t* character,
               std::string_view* digits) {
  const std::size_t colon = line.find(':');
  if (colon < kShortestCode || colon > kLongestCode ||
      colon == std::string_view::npos || !AllHex(line.substr(0, colon)) ||
      !AllHex(line.substr(colon + 1)))
    return false;
  *character = 0;
  for (char c : line.substr(0, colon))
    *character = *character * 16 + static_cast<char32_t>(HexDigitValue(c));
  *digits = line.substr(colon + 1);
  return *character <= kLastCharacter;
}

}  // namespace

bool LooksLikeHex(std::span<const std::uint8_t> bytes) {
  char32_t character = 0;
  std::string_view digits;
  return SplitLine(FirstTextLine(bytes), &character, &digits);
}

std::string ReadHex(std::span<const std::uint8_t> bytes, CodePageUse* use,
                    FontImage* font) {
  GlyphPlacer placer(use, font);
  LineReader lines(bytes);
  std::string_view line;
  while (lines.Next(&line)) {
    if (line.empty())
      continue;
    char32_t character = 0;
    std::string_view digits;
    if (!SplitLine(line, &character, &digits))
      return MalformedLine(lines.number());
    if (digits.size() % kDigitsOf8x16 == 0)
      return Not8x8(digits.size(), lines.number());
    if (digits.size() != kDigitsOf8x8)
      return MalformedLine(lines.number());
    Glyph glyph{};
    for (std::size_t row = 0; row < kGlyphSize; ++row)
      glyph[row] =
          static_cast<std::uint8_t>(HexDigitValue(digits[row * 2]) * 16 +
                                    HexDigitValue(digits[row * 2 + 1]));
    placer.PlaceCharacter(character, glyph);
  }
  return std::string();
}

}  // namespace mdlReplace
