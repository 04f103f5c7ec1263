// The block that carries a font at the end of a program: what the program
// writes when it attaches one, and what every reader of a source looks for.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "fonts/font.h"

namespace mdlReplace {

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
