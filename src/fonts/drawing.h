// A font drawn as text, for the user to look at.
#pragma once

#include <string>

#include "base/picture.h"
#include "fonts/font.h"

namespace mdlReplace {

// The 256 glyphs, each row of glyphs labelled with the code of its first.
// With Unicode blocks, a 16x16 grid of 69 columns; with # and . (one
// character a pixel, and for any drawing that is no text), the grid's rows
// in halves of 8 glyphs, 76 columns. Lines end with a line feed.
std::string DrawFont(const FontImage& font, Drawing drawing);

// The 256 glyphs as a picture, a pixel a pixel: a 16x16 grid of 8x8 cells
// one grid line apart, the codes 0x00 to 0xF0 down the left side and 0 to
// F across the top.
Picture DrawFontPicture(const FontImage& font);

// Where the ink of a glyph's pixel lies in DrawFontPicture's picture.
int PicturePixelX(std::size_t code, std::size_t column);
int PicturePixelY(std::size_t code, std::size_t row);

}  // namespace mdlReplace
