// Edits of whole glyphs, the same for the program and the page: taking
// glyphs from another font, and turning a glyph over, around or about.
#pragma once

#include <array>
#include <bitset>
#include <string_view>

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

// Each transform as the page offers it: a button's name, what it does,
// and what the glyphs are once it is done ("Glyph 0x41 cleared.").
struct GlyphTransformName {
  GlyphTransform transform;
  std::string_view name;
  std::string_view description;
  std::string_view done;
};
constexpr std::array<GlyphTransformName, kGlyphTransforms>
    kGlyphTransformNames = {{
        {GlyphTransform::ShiftUp, "Up", "Shift up one pixel",
         "shifted up one pixel"},
        {GlyphTransform::ShiftDown, "Down", "Shift down one pixel",
         "shifted down one pixel"},
        {GlyphTransform::ShiftLeft, "Left", "Shift left one pixel",
         "shifted left one pixel"},
        {GlyphTransform::ShiftRight, "Right", "Shift right one pixel",
         "shifted right one pixel"},
        {GlyphTransform::FlipHorizontally, "Flip left-right",
         "Flip left to right", "flipped left to right"},
        {GlyphTransform::FlipVertically, "Flip top-bottom",
         "Flip top to bottom", "flipped top to bottom"},
        {GlyphTransform::Rotate, "Rotate 90°", "Rotate by 90 degrees clockwise",
         "rotated by 90 degrees clockwise"},
        {GlyphTransform::Invert, "Invert", "Ink becomes paper, paper ink",
         "inverted"},
        {GlyphTransform::Clear, "Clear", "Paper only", "cleared"},
        {GlyphTransform::Bold, "Bold", "Each row ORed with itself moved right",
         "made bold"},
    }};

Glyph Transformed(const Glyph& glyph, GlyphTransform transform);

// The font with each glyph of the codes given transformed.
FontImage TransformGlyphs(const FontImage& font, const CodeSet& codes,
                          GlyphTransform transform);

}  // namespace mdlReplace
