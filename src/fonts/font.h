// The font the program carries from a source into the game's files.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace mdlReplace {

constexpr std::size_t kFontSize = 2048;

// An 8x8 font: 256 glyphs of 8 bytes, the top row first and the leftmost
// pixel in the high bit. Patching copies it as it is; only the font tools
// look inside.
using FontImage = std::array<std::uint8_t, kFontSize>;

constexpr std::size_t kGlyphCount = 256;
constexpr std::size_t kGlyphSize = 8;  // bytes, one a row, and pixels a row
using Glyph = std::array<std::uint8_t, kGlyphSize>;

// Whether a pixel of a glyph is ink; rows count from the top, columns from
// the left.
inline bool IsInk(const FontImage& font, std::size_t code, std::size_t row,
                  std::size_t column) {
  return (font[code * kGlyphSize + row] >> (7 - column) & 1) != 0;
}

inline void SetInk(FontImage* font, std::size_t code, std::size_t row,
                   std::size_t column) {
  (*font)[code * kGlyphSize + row] |= static_cast<std::uint8_t>(0x80 >> column);
}

}  // namespace mdlReplace
