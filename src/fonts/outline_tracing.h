// A glyph's pixels as outlines: each area of ink whose pixels touch by a
// side is one contour along the pixels' edges, and each hole in it one
// more, wound the other way. Squares of ink that overlapped would draw
// with seams where rasterisers add their coverage.
#pragma once

#include <vector>

#include "fonts/font.h"

namespace mdlReplace {

// A corner of the pixel grid: x from the cell's left, y up from its
// bottom, in pixels.
struct OutlinePoint {
  int x = 0;
  int y = 0;
  bool operator==(const OutlinePoint&) const = default;
};

// The corners where a contour turns, in order; it closes back to the
// first. Ink lies to the right of the way it runs (TrueType's clockwise
// outer contours).
using Contour = std::vector<OutlinePoint>;

std::vector<Contour> TraceGlyph(const Glyph& glyph);

}  // namespace mdlReplace
