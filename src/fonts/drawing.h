// A font drawn as text, for the user to look at.
#pragma once

#include <string>

#include "fonts/font.h"
#include "platform/platform.h"

namespace mdlReplace {

// The 256 glyphs, each row of glyphs labelled with the code of its first.
// With Unicode blocks, a 16x16 grid of 69 columns; with # and . (one
// character a pixel), the grid's rows in halves of 8 glyphs, 76 columns;
// with Braille, for a box of proportional text, a 16x16 grid labelled at
// the right. Lines end with a line feed.
std::string DrawFont(const FontImage& font, Drawing drawing);

}  // namespace mdlReplace
