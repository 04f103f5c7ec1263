// What a font is drawn as for the user to look at: text of one kind or
// another, or a picture of pixels.
#pragma once

#include <cstdint>
#include <vector>

namespace mdlReplace {

// What the program's output can draw with.
enum class Drawing {
  Ascii,    // # and . only
  Blocks,   // Unicode quadrant blocks, on a terminal of fixed-width cells
  Picture,  // pixels, in a window of the program's own
};

// The colours of a picture's pixels.
enum class PictureColour : std::uint8_t { Paper, Ink, Grid, Label };

// A picture to show in a window: one PictureColour a pixel, row by row
// from the top.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

}  // namespace mdlReplace
