// Edits of whole glyphs, the same for the program and the page: taking
// glyphs from another font, and turning a glyph over, around or about.
#pragma once

#include <bitset>

#include "fonts/font.h"

namespace mdlReplace {

// A set of the font's codes.
using CodeSet = std::bitset<kGlyphCount>;

// The codes where the base font's glyph is blank and the other's is not.
CodeSet BlankInBase(const FontImage& base, const FontImage& other);

// The base font with the other font's glyphs at the codes given.
FontImage TakeGlyphs(const FontImage& base, const FontImage& other,
                     const CodeSet& codes);

enum class GlyphTransform {
  ShiftUp,  // one pixel, without wrapping: the row that leaves is lost
  ShiftDown,
  ShiftLeft,
  ShiftRight,
  FlipHorizontally,  // left becomes right
  FlipVertically,    // top becomes bottom
  Rotate,            // by 90 degrees, clockwise
  Invert,
  Clear,
  Bold,  // each row ORed with itself shifted right by one
};
constexpr int kGlyphTransforms = 10;

Glyph Transformed(const Glyph& glyph, GlyphTransform transform);

// The font with each glyph of the codes given transformed.
FontImage TransformGlyphs(const FontImage& font, const CodeSet& codes,
                          GlyphTransform transform);

}  // namespace mdlReplace
