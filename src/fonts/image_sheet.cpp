// A font sheet: a 128x128 image (PNG, BMP or GIF), glyph n at column n mod
// 16 and row n div 16 of 8x8 cells, read by the rules of every picture the
// font tools read (image_picture.h): the colour that covers most of it is
// the paper, and a sheet drawn magnified, each pixel a block of k by k (k
// up to 8), reads as the sheet it magnifies.
#include "fonts/codecs.h"
#include "fonts/image_picture.h"

namespace mdlReplace {

namespace {

constexpr int kSheetSide = 128;
constexpr std::size_t kGlyphsPerRow = 16;

std::string WrongSize(std::uint32_t width, std::uint32_t height) {
  return std::string("is a ") + std::to_string(width) + "x" +
         std::to_string(height) + " image, not a 128x128 font sheet.";
}

std::string NotUniform(std::uint32_t side, int magnification) {
  const std::string size = std::to_string(side);
  const std::string block = std::to_string(magnification);
  return "is a " + size + "x" + size + " image, but not a 128x128 font sheet" +
         " magnified: its " + block + "x" + block +
         " blocks of pixels are not each of one colour.";
}

std::size_t PixelIndex(std::size_t code, std::size_t row, std::size_t column) {
  const std::size_t x = (code % kGlyphsPerRow) * kGlyphSize + column;
  const std::size_t y = (code / kGlyphsPerRow) * kGlyphSize + row;
  return y * kSheetSide + x;
}

}  // namespace

std::string ReadImageSheet(std::span<const std::uint8_t> bytes,
                           FontImage* font) {
  Picture sheet;
  const ImageRead read =
      ReadInkPicture(bytes, {kSheetSide, kSheetSide}, &sheet);
  switch (read.fault) {
    case ImageFault::None:
      break;
    case ImageFault::Unreadable:
      return UnreadableImage(read.format);
    case ImageFault::Damaged:
      return DamagedImage();
    case ImageFault::WrongSize:
      return WrongSize(read.width, read.height);
    case ImageFault::NotUniform:
      return NotUniform(read.width, read.magnification);
  }
  font->fill(0);
  const auto ink = static_cast<std::uint8_t>(PictureColour::Ink);
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    for (std::size_t row = 0; row < kGlyphSize; ++row) {
      for (std::size_t column = 0; column < kGlyphSize; ++column) {
        if (sheet.pixels[PixelIndex(code, row, column)] == ink)
          SetInk(font, code, row, column);
      }
    }
  }
  return std::string();
}

Bytes WritePngSheet(const FontImage& font) {
  Picture sheet;
  sheet.width = kSheetSide;
  sheet.height = kSheetSide;
  sheet.pixels.assign(std::size_t{kSheetSide} * kSheetSide,
                      static_cast<std::uint8_t>(PictureColour::Paper));
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    for (std::size_t row = 0; row < kGlyphSize; ++row) {
      for (std::size_t column = 0; column < kGlyphSize; ++column) {
        if (IsInk(font, code, row, column))
          sheet.pixels[PixelIndex(code, row, column)] =
              static_cast<std::uint8_t>(PictureColour::Ink);
      }
    }
  }
  return WritePicturePng(sheet);
}

}  // namespace mdlReplace
