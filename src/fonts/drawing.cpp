#include "fonts/drawing.h"

#include <array>

#include "fonts/codecs.h"

namespace mdlReplace {

namespace {

constexpr std::size_t kGlyphsPerRow = 16;
constexpr std::size_t kAsciiGlyphsPerBand = 8;
constexpr char kAsciiInk = '#';
constexpr char kAsciiBackground = '.';
constexpr std::string_view kNoLabel = "     ";

// Quadrant blocks by their four pixels: upper left, upper right, lower
// left, lower right, from the high bit down.
constexpr std::array<char32_t, 16> kQuadrants = {
    U' ',      U'\u2597', U'\u2596', U'\u2584', U'\u259D', U'\u2590',
    U'\u259E', U'\u259F', U'\u2598', U'\u259A', U'\u258C', U'\u2599',
    U'\u2580', U'\u259C', U'\u259B', U'\u2588'};
void AppendUtf8(std::string* text, char32_t c) {
  if (c < 0x80) {
    *text += static_cast<char>(c);
  } else if (c < 0x800) {
    *text += static_cast<char>(0xC0 | c >> 6);
    *text += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *text += static_cast<char>(0xE0 | c >> 12);
    *text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    *text += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// "0x41 ", before a row of glyphs, or blanks as wide.
std::string Label(std::size_t code) {
  return std::string("0x") + HexByte(code) + " ";
}

// Each pixel a character, eight glyphs a band.
std::string DrawAscii(const FontImage& font) {
  std::string text(kNoLabel);
  for (std::size_t column = 0; column < kAsciiGlyphsPerBand; ++column)
    text += std::string("+") + std::to_string(column) +
            (column + 1 < kAsciiGlyphsPerBand ? "       " : "\n");
  for (std::size_t first = 0; first < kGlyphCount;
       first += kAsciiGlyphsPerBand) {
    text += '\n';
    for (std::size_t row = 0; row < kGlyphSize; ++row) {
      text += row == 0 ? Label(first) : std::string(kNoLabel);
      for (std::size_t code = first; code < first + kAsciiGlyphsPerBand;
           ++code) {
        for (std::size_t column = 0; column < kGlyphSize; ++column)
          text += IsInk(font, code, row, column) ? kAsciiInk : kAsciiBackground;
        text += code + 1 < first + kAsciiGlyphsPerBand ? ' ' : '\n';
      }
    }
  }
  return text;
}

// Two by two pixels a character, sixteen glyphs a row.
std::string DrawBlocks(const FontImage& font) {
  std::string text(kNoLabel);
  for (std::size_t column = 0; column < kGlyphsPerRow; ++column)
    text +=
        HexByte(column).substr(1) + (column + 1 < kGlyphsPerRow ? "   " : "\n");
  for (std::size_t first = 0; first < kGlyphCount; first += kGlyphsPerRow) {
    for (std::size_t row = 0; row < kGlyphSize; row += 2) {
      text += row == 0 ? Label(first) : std::string(kNoLabel);
      for (std::size_t code = first; code < first + kGlyphsPerRow; ++code) {
        for (std::size_t column = 0; column < kGlyphSize; column += 2) {
          const std::size_t quadrant =
              (IsInk(font, code, row, column) ? 8u : 0u) |
              (IsInk(font, code, row, column + 1) ? 4u : 0u) |
              (IsInk(font, code, row + 1, column) ? 2u : 0u) |
              (IsInk(font, code, row + 1, column + 1) ? 1u : 0u);
          AppendUtf8(&text, kQuadrants[quadrant]);
        }
      }
      text += '\n';
    }
  }
  return text;
}

// The picture: each glyph's 8x8 pixels in a cell of a 16x16 grid, the
// cells one grid line apart, the codes of the rows (0x00 to 0xF0) at the
// left and of the columns (0 to F) across the top, in a small font of the
// picture's own, so that the labels read whatever the font shown is.
constexpr int kCellPitch = static_cast<int>(kGlyphSize) + 1;
constexpr int kGridSide = static_cast<int>(kGlyphsPerRow) * kCellPitch + 1;
constexpr int kMargin = 2;
constexpr int kLabelWidth = 5;
constexpr int kLabelHeight = 7;
constexpr int kLabelPitch = kLabelWidth + 1;
constexpr int kGridLeft = kMargin + 4 * kLabelPitch + kMargin;  // "0x00"
constexpr int kGridTop = kMargin + kLabelHeight + kMargin;

// The label font: 5x7 pixels, the leftmost in bit 4; hex digits, then x.
constexpr std::array<std::array<std::uint8_t, kLabelHeight>, 17> kLabelGlyphs =
    {{
        {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},  // 0
        {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},  // 1
        {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},  // 2
        {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},  // 3
        {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},  // 4
        {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},  // 5
        {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},  // 6
        {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 7
        {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},  // 8
        {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},  // 9
        {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},  // A
        {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E},  // B
        {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E},  // C
        {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C},  // D
        {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F},  // E
        {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10},  // F
        {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11},  // x
    }};
constexpr std::size_t kLabelX = 16;

void Paint(Picture* picture, int x, int y, PictureColour colour) {
  picture->pixels[static_cast<std::size_t>(y) *
                      static_cast<std::size_t>(picture->width) +
                  static_cast<std::size_t>(x)] =
      static_cast<std::uint8_t>(colour);
}

// One character of the label font, its top left corner at x, y.
void PaintLabelGlyph(Picture* picture, std::size_t glyph, int x, int y) {
  for (int row = 0; row < kLabelHeight; ++row) {
    const std::uint8_t bits =
        kLabelGlyphs[glyph][static_cast<std::size_t>(row)];
    for (int column = 0; column < kLabelWidth; ++column) {
      if ((bits >> (kLabelWidth - 1 - column) & 1) != 0)
        Paint(picture, x + column, y + row, PictureColour::Label);
    }
  }
}

void PaintGridLines(Picture* picture) {
  for (int line = 0; line < kGridSide; line += kCellPitch) {
    for (int along = 0; along < kGridSide; ++along) {
      Paint(picture, kGridLeft + line, kGridTop + along, PictureColour::Grid);
      Paint(picture, kGridLeft + along, kGridTop + line, PictureColour::Grid);
    }
  }
}

void PaintLabels(Picture* picture) {
  for (std::size_t index = 0; index < kGlyphsPerRow; ++index) {
    const int cell = kCellPitch * static_cast<int>(index) + 1;
    // Across the top, centred over its column of cells.
    PaintLabelGlyph(picture, index, kGridLeft + cell + 1, kMargin);
    // Down the left side: 0x, the row's digit, 0.
    const int y = kGridTop + cell;
    PaintLabelGlyph(picture, 0, kMargin, y);
    PaintLabelGlyph(picture, kLabelX, kMargin + kLabelPitch, y);
    PaintLabelGlyph(picture, index, kMargin + 2 * kLabelPitch, y);
    PaintLabelGlyph(picture, 0, kMargin + 3 * kLabelPitch, y);
  }
}

}  // namespace

std::string DrawFont(const FontImage& font, Drawing drawing) {
  switch (drawing) {
    case Drawing::Ascii:
      break;
    case Drawing::Blocks:
      return DrawBlocks(font);
    case Drawing::Picture:
      break;
  }
  return DrawAscii(font);
}

Picture DrawFontPicture(const FontImage& font) {
  Picture picture;
  picture.width = kGridLeft + kGridSide + kMargin;
  picture.height = kGridTop + kGridSide + kMargin;
  picture.pixels.assign(static_cast<std::size_t>(picture.width) *
                            static_cast<std::size_t>(picture.height),
                        static_cast<std::uint8_t>(PictureColour::Paper));
  PaintGridLines(&picture);
  PaintLabels(&picture);
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    for (std::size_t row = 0; row < kGlyphSize; ++row) {
      for (std::size_t column = 0; column < kGlyphSize; ++column) {
        if (IsInk(font, code, row, column))
          Paint(&picture, PicturePixelX(code, column), PicturePixelY(code, row),
                PictureColour::Ink);
      }
    }
  }
  return picture;
}

int PicturePixelX(std::size_t code, std::size_t column) {
  return kGridLeft + 1 + kCellPitch * static_cast<int>(code % kGlyphsPerRow) +
         static_cast<int>(column);
}

int PicturePixelY(std::size_t code, std::size_t row) {
  return kGridTop + 1 + kCellPitch * static_cast<int>(code / kGlyphsPerRow) +
         static_cast<int>(row);
}

}  // namespace mdlReplace
