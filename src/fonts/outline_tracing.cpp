#include "fonts/outline_tracing.h"

#include <array>

namespace mdlReplace {

namespace {

constexpr int kCell = static_cast<int>(kGlyphSize);
constexpr int kCorners = (kCell + 1) * (kCell + 1);
// Two edges at most leave a corner: where two pixels of ink meet at it
// diagonally.
constexpr int kMostLeaving = 2;
constexpr std::size_t kMostEdges = 4 * kGlyphSize * kGlyphSize;

struct Step {
  int dx = 0;
  int dy = 0;
  bool operator==(const Step&) const = default;
};

// An edge of the grid between ink and no ink, run with the ink on its
// right.
struct Edge {
  OutlinePoint from;
  Step step;
  bool taken = false;
};

// Whether the pixel at the column and the row from the top is ink; no
// pixel outside the cell is.
bool Ink(const Glyph& glyph, int column, int row) {
  if (column < 0 || column >= kCell || row < 0 || row >= kCell)
    return false;
  return (glyph[row] >> (kCell - 1 - column) & 1) != 0;
}

int CornerIndex(OutlinePoint point) {
  return point.y * (kCell + 1) + point.x;
}

class EdgeMap {
 public:
  explicit EdgeMap(const Glyph& glyph);
  std::vector<Contour> Contours();

 private:
  void Add(OutlinePoint from, Step step);
  Edge* Next(OutlinePoint at, Step arriving);

  std::array<Edge, kMostEdges> edges_{};
  std::size_t edge_count_ = 0;
  std::array<std::array<int, kMostLeaving>, kCorners> leaving_{};
  std::array<int, kCorners> leaving_count_{};
};

// Each side of an ink pixel that no ink pixel shares, clockwise around
// the pixel: a side between two ink pixels is no edge, so no contour
// overlaps another.
EdgeMap::EdgeMap(const Glyph& glyph) {
  for (int row = 0; row < kCell; ++row) {
    for (int column = 0; column < kCell; ++column) {
      if (!Ink(glyph, column, row))
        continue;
      const int bottom = kCell - 1 - row;
      const int top = bottom + 1;
      if (!Ink(glyph, column - 1, row))
        Add({column, bottom}, {0, 1});
      if (!Ink(glyph, column, row - 1))
        Add({column, top}, {1, 0});
      if (!Ink(glyph, column + 1, row))
        Add({column + 1, top}, {0, -1});
      if (!Ink(glyph, column, row + 1))
        Add({column + 1, bottom}, {-1, 0});
    }
  }
}

void EdgeMap::Add(OutlinePoint from, Step step) {
  const int corner = CornerIndex(from);
  leaving_[corner][leaving_count_[corner]++] = static_cast<int>(edge_count_);
  edges_[edge_count_++] = Edge{from, step, false};
}

// The edge the contour goes on by: at a corner where ink meets ink
// diagonally, the one that turns right, around the same pixel, so that
// areas touching at a corner stay apart.
Edge* EdgeMap::Next(OutlinePoint at, Step arriving) {
  const int corner = CornerIndex(at);
  const Step right = {arriving.dy, -arriving.dx};
  for (int i = 0; i < leaving_count_[corner]; ++i) {
    Edge& edge = edges_[leaving_[corner][i]];
    if (leaving_count_[corner] == 1 || edge.step == right)
      return &edge;
  }
  return nullptr;
}

std::vector<Contour> EdgeMap::Contours() {
  std::vector<Contour> contours;
  for (std::size_t i = 0; i < edge_count_; ++i) {
    Edge& first = edges_[i];
    if (first.taken)
      continue;
    Contour contour;
    Edge* edge = &first;
    Step before = {0, 0};
    // Edges that go on the same way make one side: only the corners
    // where it turns are points.
    while (edge != nullptr && !edge->taken) {
      edge->taken = true;
      if (!(edge->step == before))
        contour.push_back(edge->from);
      before = edge->step;
      edge = Next({edge->from.x + edge->step.dx, edge->from.y + edge->step.dy},
                  edge->step);
    }
    // The first edge may go on the way the last came: its corner is none.
    if (edge == &first && first.step == before)
      contour.erase(contour.begin());
    contours.push_back(contour);
  }
  return contours;
}

}  // namespace

std::vector<Contour> TraceGlyph(const Glyph& glyph) {
  return EdgeMap(glyph).Contours();
}

}  // namespace mdlReplace
