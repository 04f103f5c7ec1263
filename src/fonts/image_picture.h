// Images as the font tools read and write them: a PNG, BMP or GIF read as
// a picture of ink and paper of the size a caller asks for, drawn at that
// size or magnified by a whole factor; a picture written as a PNG. The
// font sheet and a block of glyphs are both read and written through here,
// so that they take ink and paper by the same rules.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/picture.h"
#include "fonts/formats.h"

namespace mdlReplace {

// An image drawn magnified has each pixel a block of k by k, k up to this.
constexpr int kLargestMagnification = 8;

// A picture's size in pixels, as a caller asks for one.
struct PictureSize {
  int width = 0;
  int height = 0;
};

// Why an image gives no picture of the size asked for.
enum class ImageFault {
  None,
  Unreadable,  // not an image that can be read, or cut short
  Damaged,     // a PNG whose CRCs or compressed data are wrong
  WrongSize,   // not the size asked for, nor a whole multiple up to 8
  NotUniform,  // a multiple, but its blocks of pixels are not each of one
               // colour
};

// What reading an image found: its fault, its format ("PNG", "BMP" or
// "GIF"), the size its header gives and how many times it magnifies the
// size asked for.
struct ImageRead {
  ImageFault fault = ImageFault::None;
  std::string_view format;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int magnification = 0;
};

// Reads the image as a picture of the size asked for, each pixel Paper or
// Ink. Whatever its colours, the one that covers most of it is the paper
// and every other one is ink, so a picture drawn dark on light or light
// on dark reads the same; of two that cover as much, the lighter is the
// paper. A PNG's chunks are checked before anything is decoded, and of
// any image its size is known before its pixels take memory.
ImageRead ReadInkPicture(std::span<const std::uint8_t> bytes, PictureSize size,
                         Picture* picture);

// "is a PNG image that could not be read." and "is a PNG image whose data
// is damaged.": an unreadable or damaged image, worded to follow the
// file's name.
std::string UnreadableImage(std::string_view format);
std::string DamagedImage();

// The picture's ink black on white paper, as an 8-bit grey PNG.
Bytes WritePicturePng(const Picture& picture);

// A BMP compressed by runs, which stb does not read, and the same BMP
// uncompressed; false when its runs leave an image of at most the size
// given, or end early.
bool IsRunLengthBmp(std::span<const std::uint8_t> bytes);
bool UncompressBmp(std::span<const std::uint8_t> bytes, int largest_width,
                   int largest_height, Bytes* uncompressed);

}  // namespace mdlReplace
