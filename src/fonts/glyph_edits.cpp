#include "fonts/glyph_edits.h"

#include <algorithm>

namespace mdlReplace {

namespace {

Glyph GlyphAt(const FontImage& font, std::size_t code) {
  Glyph glyph{};
  std::copy_n(font.begin() + static_cast<std::ptrdiff_t>(code * kGlyphSize),
              kGlyphSize, glyph.begin());
  return glyph;
}

void PutGlyph(FontImage* font, std::size_t code, const Glyph& glyph) {
  std::copy(glyph.begin(), glyph.end(),
            font->begin() + static_cast<std::ptrdiff_t>(code * kGlyphSize));
}

bool IsBlank(const Glyph& glyph) {
  return std::all_of(glyph.begin(), glyph.end(),
                     [](std::uint8_t row) { return row == 0; });
}

std::uint8_t Reversed(std::uint8_t row) {
  std::uint8_t reversed = 0;
  for (std::size_t column = 0; column < kGlyphSize; ++column) {
    if ((row >> column & 1) != 0)
      reversed |= static_cast<std::uint8_t>(0x80 >> column);
  }
  return reversed;
}

// Clockwise: the glyph's left column becomes its top row, read from the
// bottom up.
Glyph Rotated(const Glyph& glyph) {
  Glyph rotated{};
  for (std::size_t row = 0; row < kGlyphSize; ++row) {
    for (std::size_t column = 0; column < kGlyphSize; ++column) {
      const std::size_t from_row = kGlyphSize - 1 - column;
      if ((glyph[from_row] >> (7 - row) & 1) != 0)
        rotated[row] |= static_cast<std::uint8_t>(0x80 >> column);
    }
  }
  return rotated;
}

}  // namespace

CodeSet BlankInBase(const FontImage& base, const FontImage& other) {
  CodeSet codes;
  for (std::size_t code = 0; code < kGlyphCount; ++code)
    codes[code] =
        IsBlank(GlyphAt(base, code)) && !IsBlank(GlyphAt(other, code));
  return codes;
}

FontImage TakeGlyphs(const FontImage& base, const FontImage& other,
                     const CodeSet& codes) {
  FontImage font = base;
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    if (codes[code])
      PutGlyph(&font, code, GlyphAt(other, code));
  }
  return font;
}

Glyph Transformed(const Glyph& glyph, GlyphTransform transform) {
  Glyph result = glyph;
  switch (transform) {
    case GlyphTransform::ShiftUp:
      std::rotate(result.begin(), result.begin() + 1, result.end());
      result.back() = 0;
      break;
    case GlyphTransform::ShiftDown:
      std::rotate(result.rbegin(), result.rbegin() + 1, result.rend());
      result.front() = 0;
      break;
    case GlyphTransform::ShiftLeft:
      for (std::uint8_t& row : result)
        row = static_cast<std::uint8_t>(row << 1);
      break;
    case GlyphTransform::ShiftRight:
      for (std::uint8_t& row : result)
        row = static_cast<std::uint8_t>(row >> 1);
      break;
    case GlyphTransform::FlipHorizontally:
      for (std::uint8_t& row : result)
        row = Reversed(row);
      break;
    case GlyphTransform::FlipVertically:
      std::reverse(result.begin(), result.end());
      break;
    case GlyphTransform::Rotate:
      result = Rotated(glyph);
      break;
    case GlyphTransform::Invert:
      for (std::uint8_t& row : result)
        row = static_cast<std::uint8_t>(~row);
      break;
    case GlyphTransform::Clear:
      result.fill(0);
      break;
    case GlyphTransform::Bold:
      for (std::uint8_t& row : result)
        row = static_cast<std::uint8_t>(row | row >> 1);
      break;
  }
  return result;
}

FontImage TransformGlyphs(const FontImage& font, const CodeSet& codes,
                          GlyphTransform transform) {
  FontImage result = font;
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    if (codes[code])
      PutGlyph(&result, code, Transformed(GlyphAt(font, code), transform));
  }
  return result;
}

}  // namespace mdlReplace
