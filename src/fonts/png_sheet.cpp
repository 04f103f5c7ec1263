// A font sheet: a 128x128 PNG image, glyph n at column n mod 16 and row
// n div 16 of 8x8 cells. Whatever its colours, the one that covers most of
// the sheet is the background and every other one is ink, so a sheet drawn
// dark on light or light on dark reads the same.
#include <algorithm>
#include <array>
#include <climits>

#include "fonts/codecs.h"
#include "fonts/stb_png.h"

namespace mdlReplace {

namespace {

constexpr int kSheetSide = 128;
constexpr std::size_t kSheetPixels = std::size_t{kSheetSide} * kSheetSide;
constexpr std::size_t kGlyphsPerRow = 16;
constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P',  'N',  'G',
                                                       '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kWrittenInk = 0;
constexpr std::uint8_t kWrittenBackground = 255;

constexpr std::string_view kUnreadable =
    "is a PNG image that could not be read.";

std::string WrongSize(int width, int height) {
  return std::string("is a ") + std::to_string(width) + "x" +
         std::to_string(height) + " image, not a 128x128 font sheet.";
}

// Red, green, blue and alpha in one number; every fully transparent pixel
// is the same colour, whatever its others say.
std::uint32_t Colour(const unsigned char* pixel) {
  if (pixel[3] == 0)
    return 0;
  return static_cast<std::uint32_t>(pixel[0]) << 24 |
         static_cast<std::uint32_t>(pixel[1]) << 16 |
         static_cast<std::uint32_t>(pixel[2]) << 8 | pixel[3];
}

// The colour of most pixels; of two as common, the lower.
std::uint32_t MostCommon(std::vector<std::uint32_t> colours) {
  std::sort(colours.begin(), colours.end());
  std::uint32_t best = colours.front();
  std::size_t best_count = 0;
  for (std::size_t at = 0; at < colours.size();) {
    std::size_t end = at;
    while (end < colours.size() && colours[end] == colours[at])
      ++end;
    if (end - at > best_count) {
      best = colours[at];
      best_count = end - at;
    }
    at = end;
  }
  return best;
}

std::size_t PixelIndex(std::size_t code, std::size_t row, std::size_t column) {
  const std::size_t x = (code % kGlyphsPerRow) * kGlyphSize + column;
  const std::size_t y = (code / kGlyphsPerRow) * kGlyphSize + row;
  return y * kSheetSide + x;
}

void AppendWritten(void* context, void* data, int size) {
  Bytes* bytes = static_cast<Bytes*>(context);
  const std::uint8_t* start = static_cast<const std::uint8_t*>(data);
  bytes->insert(bytes->end(), start, start + size);
}

}  // namespace

bool LooksLikePng(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= kPngSignature.size() &&
         std::equal(kPngSignature.begin(), kPngSignature.end(), bytes.begin());
}

std::string ReadPngSheet(std::span<const std::uint8_t> bytes, FontImage* font) {
  if (bytes.size() > INT_MAX)
    return std::string(kUnreadable);
  const int size = static_cast<int>(bytes.size());
  int width = 0;
  int height = 0;
  // The size first, so that no other image is ever decoded.
  if (!PngInfo(bytes.data(), size, &width, &height))
    return std::string(kUnreadable);
  if (width != kSheetSide || height != kSheetSide)
    return WrongSize(width, height);
  unsigned char* pixels = PngLoad(bytes.data(), size, &width, &height);
  if (pixels == nullptr)
    return std::string(kUnreadable);
  std::vector<std::uint32_t> colours(kSheetPixels);
  for (std::size_t i = 0; i < colours.size(); ++i)
    colours[i] = Colour(pixels + i * 4);
  PngFree(pixels);

  const std::uint32_t background = MostCommon(colours);
  font->fill(0);
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    for (std::size_t row = 0; row < kGlyphSize; ++row) {
      for (std::size_t column = 0; column < kGlyphSize; ++column) {
        if (colours[PixelIndex(code, row, column)] != background)
          SetInk(font, code, row, column);
      }
    }
  }
  return std::string();
}

// Eight-bit grey, ink black on white.
Bytes WritePngSheet(const FontImage& font) {
  std::vector<std::uint8_t> pixels(kSheetPixels, kWrittenBackground);
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    for (std::size_t row = 0; row < kGlyphSize; ++row) {
      for (std::size_t column = 0; column < kGlyphSize; ++column) {
        if (IsInk(font, code, row, column))
          pixels[PixelIndex(code, row, column)] = kWrittenInk;
      }
    }
  }
  Bytes bytes;
  PngWrite(AppendWritten, &bytes, kSheetSide, kSheetSide, 1, pixels.data());
  return bytes;
}

}  // namespace mdlReplace
