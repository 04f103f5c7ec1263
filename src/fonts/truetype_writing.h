// The tables of the fonts the program writes as sfnt files: an outline
// TrueType font (.ttf) whose glyphs trace the font's pixels, and an
// OpenType bitmap font (.otb) of one 8-pixel strike. Both have the same
// glyphs, .notdef and then each code's, one advance wide.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "fonts/code_pages.h"
#include "fonts/formats.h"

namespace mdlReplace {

// A pixel is a whole number of units, and the 8-pixel cell the em: at 8
// and 16 pixels to the em every edge lies on a pixel's edge.
constexpr int kUnitsPerPixel = 128;
constexpr int kCellPixels = static_cast<int>(kGlyphSize);
constexpr int kUnitsPerEm = kCellPixels * kUnitsPerPixel;
// The cell's bottom row lies below the baseline, as the console's
// descenders do.
constexpr int kDescentPixels = 1;
constexpr int kAscentPixels = kCellPixels - kDescentPixels;
constexpr int kAscentUnits = kAscentPixels * kUnitsPerPixel;
constexpr int kDescentUnits = kDescentPixels * kUnitsPerPixel;

// .notdef, then the glyph of each code in order.
constexpr std::size_t kWrittenGlyphs = kGlyphCount + 1;
using WrittenGlyphs = std::array<Glyph, kWrittenGlyphs>;
WrittenGlyphs GlyphsToWrite(const FontImage& font);

// Where a glyph's ink lies, in units from its origin on the baseline;
// empty for a blank glyph.
struct InkBox {
  bool empty = true;
  int x_min = 0;
  int y_min = 0;
  int x_max = 0;
  int y_max = 0;
};
InkBox InkBoxOf(const Glyph& glyph);

// The glyph of each code by its character in the code page: its direct
// character (U+F000 + code) where the code page gives it none, or one an
// earlier code has, so that no glyph is lost and none is given a
// character the code page does not give it.
Bytes CmapTable(const CodePage& code_page);
// The lowest and highest character the cmap maps.
char32_t FirstCharacter(const CodePage& code_page);
char32_t LastCharacter(const CodePage& code_page);

// The names: the family is the stem of the file's name, "8x8" and the
// code page.
Bytes NameTable(std::string_view file_name, const CodePage& code_page);

// The outlines: glyf, and loca of its offsets halved in 16 bits (an 8x8
// glyph of the most contours takes under 512 bytes, so that 257 of them
// always fit). The most points
// and contours of a glyph, for maxp.
struct OutlineTables {
  Bytes glyf;
  Bytes loca;
  std::size_t most_points = 0;
  std::size_t most_contours = 0;
};
OutlineTables TraceOutlines(const WrittenGlyphs& glyphs);

// The 8-pixel strike: EBLC's one size, and EBDT's image of each glyph.
Bytes StrikeLocations();
Bytes StrikeImages(const WrittenGlyphs& glyphs);

}  // namespace mdlReplace
