// The font the program carries from a source into the game's files.
#pragma once

#include <algorithm>
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

// Eight bytes that open a font block; they are compared as one sequence and
// mean nothing one by one.
constexpr std::array<std::uint8_t, 8> FontBlockMarker = {
    0x03, 0x53, 0x46, 0x58, 0x08, 0x08, 0x00, 0x08};
// The marker, then the font: the last bytes of an executable that carries
// a font.
constexpr std::uint64_t kFontBlockSize = FontBlockMarker.size() + kFontSize;
using FontBlock = std::array<std::uint8_t, kFontBlockSize>;

// The font of the block; false when the bytes are no block, not opening
// with the marker.
inline bool FontOfBlock(const FontBlock& block, FontImage* font) {
  if (!std::equal(FontBlockMarker.begin(), FontBlockMarker.end(),
                  block.begin()))
    return false;
  std::copy(block.begin() + FontBlockMarker.size(), block.end(), font->begin());
  return true;
}

}  // namespace mdlReplace
