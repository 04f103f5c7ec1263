// The glyphs of the fonts written as sfnt files: outlines traced along
// the pixels' edges, and the same pixels as an 8-pixel bitmap strike.
#include <algorithm>
#include <cstdlib>

#include "fonts/outline_tracing.h"
#include "fonts/sfnt_writing.h"
#include "fonts/truetype_writing.h"

namespace mdlReplace {

namespace {

// A hollow box, what a character the font has no glyph for is drawn as.
constexpr Glyph kNotdef = {0x00, 0x7E, 0x42, 0x42, 0x42, 0x42, 0x7E, 0x00};

// The flags of a point of a simple glyph: on the curve, and each
// coordinate's change from the point before as a byte (its sign in the
// flag), as the same, or as 16 bits.
constexpr std::uint8_t kOnCurve = 0x01;
constexpr std::uint8_t kXByte = 0x02;
constexpr std::uint8_t kYByte = 0x04;
constexpr std::uint8_t kXSameOrPositive = 0x10;
constexpr std::uint8_t kYSameOrPositive = 0x20;

// EBLC's one size: its record and the one range of glyphs, whose images
// are all of one size and one metrics (index format 2), each 8 bytes of
// bit-aligned rows (image format 5), that is the font's own.
constexpr std::uint32_t kStrikeTableVersion = 0x00020000;
constexpr std::size_t kSizeRecord = 48;
constexpr std::size_t kSubtableArray = 8;
constexpr std::size_t kSubtable = 8 + 4 + 8;
constexpr std::uint16_t kIndexFormat = 2;
constexpr std::uint16_t kImageFormat = 5;
constexpr std::uint8_t kHorizontalStrike = 1;

int Units(int pixels) {
  return pixels * kUnitsPerPixel;
}

// A point of the grid, in units from the origin on the baseline.
int UnitsAcross(const OutlinePoint& point) {
  return Units(point.x);
}
int UnitsUp(const OutlinePoint& point) {
  return Units(point.y - kDescentPixels);
}

std::uint8_t CoordinateFlags(int change, std::uint8_t byte,
                             std::uint8_t same_or_positive) {
  if (change == 0)
    return same_or_positive;
  if (change >= -255 && change <= 255)
    return change > 0 ? byte | same_or_positive : byte;
  return 0;
}

void PutCoordinate(Bytes* bytes, int change, std::uint8_t flags,
                   std::uint8_t byte, std::uint8_t same_or_positive) {
  if ((flags & byte) != 0)
    PutU8(bytes, static_cast<std::uint32_t>(std::abs(change)));
  else if ((flags & same_or_positive) == 0)
    PutU16(bytes, change);
}

// A simple glyph of the contours, every point on the curve.
Bytes SimpleGlyph(const std::vector<Contour>& contours, const InkBox& box) {
  Bytes glyph;
  PutU16(&glyph, static_cast<int>(contours.size()));
  for (int bound : {box.x_min, box.y_min, box.x_max, box.y_max})
    PutU16(&glyph, bound);
  std::size_t points = 0;
  for (const Contour& contour : contours) {
    points += contour.size();
    PutU16(&glyph, static_cast<int>(points - 1));
  }
  PutU16(&glyph, 0);  // no instructions: the edges lie on pixels' edges
  Bytes flags, xs, ys;
  int x = 0;
  int y = 0;
  for (const Contour& contour : contours) {
    for (const OutlinePoint& point : contour) {
      const int dx = UnitsAcross(point) - x;
      const int dy = UnitsUp(point) - y;
      const std::uint8_t flag = kOnCurve |
                                CoordinateFlags(dx, kXByte, kXSameOrPositive) |
                                CoordinateFlags(dy, kYByte, kYSameOrPositive);
      flags.push_back(flag);
      PutCoordinate(&xs, dx, flag, kXByte, kXSameOrPositive);
      PutCoordinate(&ys, dy, flag, kYByte, kYSameOrPositive);
      x += dx;
      y += dy;
    }
  }
  for (const Bytes* part : {&flags, &xs, &ys})
    PutBytes(&glyph, *part);
  return glyph;
}

// The strike's line metrics: 8 pixels from ascender to descender, the
// widest glyph the cell.
void PutLineMetrics(Bytes* table) {
  PutU8(table, kAscentPixels);
  PutU8(table, static_cast<std::uint8_t>(-kDescentPixels));
  PutU8(table, kCellPixels);  // widest
  PutU8(table, 1);            // the caret upright
  PutU8(table, 0);
  PutU8(table, 0);
  PutU8(table, 0);  // the least bearing before and after a glyph
  PutU8(table, 0);
  PutU8(table, kAscentPixels);  // the most above and least below the line
  PutU8(table, static_cast<std::uint8_t>(-kDescentPixels));
  PutU16(table, 0);
}

}  // namespace

WrittenGlyphs GlyphsToWrite(const FontImage& font) {
  WrittenGlyphs glyphs{};
  glyphs[0] = kNotdef;
  for (std::size_t code = 0; code < kGlyphCount; ++code)
    std::copy_n(font.begin() + static_cast<std::ptrdiff_t>(code * kGlyphSize),
                kGlyphSize, glyphs[code + 1].begin());
  return glyphs;
}

InkBox InkBoxOf(const Glyph& glyph) {
  InkBox box;
  for (int row = 0; row < kCellPixels; ++row) {
    for (int column = 0; column < kCellPixels; ++column) {
      if ((glyph[row] >> (kCellPixels - 1 - column) & 1) == 0)
        continue;
      const int bottom = Units(kAscentPixels - 1 - row);
      const int left = Units(column);
      if (box.empty)
        box = InkBox{false, left, bottom, left, bottom};
      box.x_min = std::min(box.x_min, left);
      box.y_min = std::min(box.y_min, bottom);
      box.x_max = std::max(box.x_max, left + kUnitsPerPixel);
      box.y_max = std::max(box.y_max, bottom + kUnitsPerPixel);
    }
  }
  return box;
}

OutlineTables TraceOutlines(const WrittenGlyphs& glyphs) {
  OutlineTables tables;
  for (const Glyph& glyph : glyphs) {
    PutU16(&tables.loca, static_cast<int>(tables.glyf.size() / 2));
    const std::vector<Contour> contours = TraceGlyph(glyph);
    if (contours.empty())
      continue;  // a blank glyph has no data
    std::size_t points = 0;
    for (const Contour& contour : contours)
      points += contour.size();
    tables.most_points = std::max(tables.most_points, points);
    tables.most_contours = std::max(tables.most_contours, contours.size());
    const Bytes data = SimpleGlyph(contours, InkBoxOf(glyph));
    PutBytes(&tables.glyf, data);
    tables.glyf.resize((tables.glyf.size() + 3) / 4 * 4);
  }
  PutU16(&tables.loca, static_cast<int>(tables.glyf.size() / 2));
  return tables;
}

Bytes StrikeLocations() {
  Bytes table;
  PutU32(&table, kStrikeTableVersion);
  PutU32(&table, 1);  // one size
  PutU32(&table, 8 + kSizeRecord);
  PutU32(&table, kSubtableArray + kSubtable);
  PutU32(&table, 1);       // one range of glyphs
  PutU32(&table, 0);       // no colours
  PutLineMetrics(&table);  // across
  PutLineMetrics(&table);  // down
  PutU16(&table, 0);
  PutU16(&table, kWrittenGlyphs - 1);
  PutU8(&table, kCellPixels);  // pixels to the em, across and down
  PutU8(&table, kCellPixels);
  PutU8(&table, 1);  // a bit a pixel
  PutU8(&table, kHorizontalStrike);
  // The range: every glyph, its subtable right after.
  PutU16(&table, 0);
  PutU16(&table, kWrittenGlyphs - 1);
  PutU32(&table, kSubtableArray);
  PutU16(&table, kIndexFormat);
  PutU16(&table, kImageFormat);
  PutU32(&table, 4);  // the images, after EBDT's version
  PutU32(&table, kGlyphSize);
  // Every image's metrics: the cell, its top kAscentPixels above the
  // baseline, one cell across and down.
  for (int metric : {kCellPixels, kCellPixels, 0, kAscentPixels, kCellPixels,
                     -kCellPixels / 2, 0, kCellPixels})
    PutU8(&table, static_cast<std::uint8_t>(metric));
  return table;
}

Bytes StrikeImages(const WrittenGlyphs& glyphs) {
  Bytes table;
  PutU32(&table, kStrikeTableVersion);
  for (const Glyph& glyph : glyphs)
    PutBytes(&table, glyph);
  return table;
}

}  // namespace mdlReplace
