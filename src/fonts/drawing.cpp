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
// Braille patterns: U+2800 and a bit for each of eight dots, two columns
// of four.
constexpr char32_t kBrailleBlank = U'\u2800';
constexpr std::array<std::array<int, 2>, 4> kBrailleDots = {
    {{0x01, 0x08}, {0x02, 0x10}, {0x04, 0x20}, {0x40, 0x80}}};

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

// Two by four pixels a character, the glyphs a blank pattern apart: in
// proportional text only the patterns have one width.
std::string DrawBraille(const FontImage& font) {
  std::string text;
  for (std::size_t first = 0; first < kGlyphCount; first += kGlyphsPerRow) {
    for (std::size_t row = 0; row < kGlyphSize; row += 4) {
      for (std::size_t code = first; code < first + kGlyphsPerRow; ++code) {
        for (std::size_t column = 0; column < kGlyphSize; column += 2) {
          char32_t pattern = kBrailleBlank;
          for (std::size_t dy = 0; dy < 4; ++dy) {
            for (std::size_t dx = 0; dx < 2; ++dx) {
              if (IsInk(font, code, row + dy, column + dx))
                pattern |= static_cast<char32_t>(kBrailleDots[dy][dx]);
            }
          }
          AppendUtf8(&text, pattern);
        }
        if (code + 1 < first + kGlyphsPerRow)
          AppendUtf8(&text, kBrailleBlank);
      }
      if (row == 0)
        text += std::string("  0x") + HexByte(first);
      text += '\n';
    }
  }
  return text;
}

}  // namespace

std::string DrawFont(const FontImage& font, Drawing drawing) {
  switch (drawing) {
    case Drawing::Ascii:
      break;
    case Drawing::Blocks:
      return DrawBlocks(font);
    case Drawing::Braille:
      return DrawBraille(font);
  }
  return DrawAscii(font);
}

}  // namespace mdlReplace
