#include "fonts/glyph_block.h"

#include "fonts/codecs.h"
#include "fonts/image_picture.h"

namespace mdlReplace {

namespace {

constexpr char kTextInk = '#';
constexpr char kTextPaper = '.';
constexpr auto kInk = static_cast<std::uint8_t>(PictureColour::Ink);
constexpr auto kPaper = static_cast<std::uint8_t>(PictureColour::Paper);

// Where pixel (row, column) of the block's glyph i lies in its picture.
std::size_t PixelAt(const GlyphBlock& block, std::size_t i, std::size_t row,
                    std::size_t column) {
  const std::size_t x = (i % block.width) * kGlyphSize + column;
  const std::size_t y = (i / block.width) * kGlyphSize + row;
  return y * block.width * kGlyphSize + x;
}

std::string Size(std::size_t width, std::size_t height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

// "4 glyphs across and 2 down"
std::string Shape(const GlyphBlock& block) {
  return std::to_string(block.width) +
         (block.width == 1 ? " glyph across and " : " glyphs across and ") +
         std::to_string(BlockRows(block)) + " down";
}

std::string BlockSize(const GlyphBlock& block) {
  return Size(static_cast<std::size_t>(BlockPictureWidth(block)),
              static_cast<std::size_t>(BlockPictureHeight(block)));
}

// An image of another size than the block's, or a whole multiple of it
// larger than is read.
std::string WrongSize(const ImageRead& read, const GlyphBlock& block) {
  const std::uint32_t width =
      static_cast<std::uint32_t>(BlockPictureWidth(block));
  const std::uint32_t height =
      static_cast<std::uint32_t>(BlockPictureHeight(block));
  const std::uint32_t k = read.width / width;
  const std::string size = Size(read.width, read.height);
  if (read.width % width == 0 && read.height == k * height)
    return "is " + size + ", " + std::to_string(k) + " times the " +
           BlockSize(block) + " that " + Shape(block) +
           " need; a picture is read magnified up to " +
           std::to_string(kLargestMagnification) + " times.";
  return "is " + size + "; " + Shape(block) + " need " + BlockSize(block) +
         ", or a whole multiple of it.";
}

std::string NotUniform(const ImageRead& read, const GlyphBlock& block) {
  const std::string k = std::to_string(read.magnification);
  return "is " + Size(read.width, read.height) + ", but not the " +
         BlockSize(block) + " of " + Shape(block) + " magnified: its " + k +
         "x" + k + " blocks of pixels are not each of one colour.";
}

// The picture's pixel at (x, y), paper outside it.
std::uint8_t PixelOf(const Picture& picture, int x, int y) {
  if (x < 0 || y < 0 || x >= picture.width || y >= picture.height)
    return kPaper;
  return picture.pixels[static_cast<std::size_t>(y) *
                            static_cast<std::size_t>(picture.width) +
                        static_cast<std::size_t>(x)];
}

// The pixel of the picture before the transform that (x, y) shows after
// it, as a pixel of the same picture: where it comes from, for those that
// move pixels about.
std::uint8_t MovedPixel(const Picture& before, GlyphTransform transform, int x,
                        int y) {
  switch (transform) {
    case GlyphTransform::ShiftUp:
      return PixelOf(before, x, y + 1);
    case GlyphTransform::ShiftDown:
      return PixelOf(before, x, y - 1);
    case GlyphTransform::ShiftLeft:
      return PixelOf(before, x + 1, y);
    case GlyphTransform::ShiftRight:
      return PixelOf(before, x - 1, y);
    case GlyphTransform::FlipHorizontally:
      return PixelOf(before, before.width - 1 - x, y);
    case GlyphTransform::FlipVertically:
      return PixelOf(before, x, before.height - 1 - y);
    case GlyphTransform::Rotate:  // clockwise: the left column becomes the top
      return PixelOf(before, y, before.height - 1 - x);
    case GlyphTransform::Invert:
      return PixelOf(before, x, y) == kInk ? kPaper : kInk;
    case GlyphTransform::Clear:
      return kPaper;
    case GlyphTransform::Bold:
      return PixelOf(before, x, y) == kInk || PixelOf(before, x - 1, y) == kInk
                 ? kInk
                 : kPaper;
  }
  return kPaper;
}

}  // namespace

std::size_t BlockRows(const GlyphBlock& block) {
  return (block.codes.size() + block.width - 1) / block.width;
}

int BlockPictureWidth(const GlyphBlock& block) {
  return static_cast<int>(block.width * kGlyphSize);
}

int BlockPictureHeight(const GlyphBlock& block) {
  return static_cast<int>(BlockRows(block) * kGlyphSize);
}

Picture CutBlock(const FontImage& font, const GlyphBlock& block) {
  Picture picture;
  picture.width = BlockPictureWidth(block);
  picture.height = BlockPictureHeight(block);
  picture.pixels.assign(static_cast<std::size_t>(picture.width) *
                            static_cast<std::size_t>(picture.height),
                        kPaper);
  for (std::size_t i = 0; i < block.codes.size(); ++i) {
    for (std::size_t row = 0; row < kGlyphSize; ++row) {
      for (std::size_t column = 0; column < kGlyphSize; ++column) {
        if (IsInk(font, block.codes[i], row, column))
          picture.pixels[PixelAt(block, i, row, column)] = kInk;
      }
    }
  }
  return picture;
}

bool PutBlock(const Picture& picture, const GlyphBlock& block,
              FontImage* font) {
  if (picture.width != BlockPictureWidth(block) ||
      picture.height != BlockPictureHeight(block) ||
      picture.pixels.size() != static_cast<std::size_t>(picture.width) *
                                   static_cast<std::size_t>(picture.height))
    return false;
  for (std::size_t i = 0; i < block.codes.size(); ++i) {
    for (std::size_t row = 0; row < kGlyphSize; ++row) {
      std::uint8_t bits = 0;
      for (std::size_t column = 0; column < kGlyphSize; ++column) {
        if (picture.pixels[PixelAt(block, i, row, column)] == kInk)
          bits |= static_cast<std::uint8_t>(0x80 >> column);
      }
      (*font)[block.codes[i] * kGlyphSize + row] = bits;
    }
  }
  return true;
}

std::string ReadBlockPicture(std::span<const std::uint8_t> bytes,
                             const GlyphBlock& block, Picture* picture) {
  if (!LooksLikePng(bytes) && !LooksLikeBmp(bytes) && !LooksLikeGif(bytes))
    return "is not a PNG, BMP or GIF image.";
  const ImageRead read = ReadInkPicture(
      bytes, {BlockPictureWidth(block), BlockPictureHeight(block)}, picture);
  switch (read.fault) {
    case ImageFault::None:
      break;
    case ImageFault::Unreadable:
      return UnreadableImage(read.format);
    case ImageFault::Damaged:
      return DamagedImage();
    case ImageFault::WrongSize:
      return WrongSize(read, block);
    case ImageFault::NotUniform:
      return NotUniform(read, block);
  }
  return std::string();
}

bool TransformPicture(GlyphTransform transform, Picture* picture) {
  if (transform == GlyphTransform::Rotate && picture->width != picture->height)
    return false;
  const Picture before = *picture;
  for (int y = 0; y < picture->height; ++y) {
    for (int x = 0; x < picture->width; ++x) {
      picture->pixels[static_cast<std::size_t>(y) *
                          static_cast<std::size_t>(picture->width) +
                      static_cast<std::size_t>(x)] =
          MovedPixel(before, transform, x, y);
    }
  }
  return true;
}

Bytes WritePictureText(const Picture& picture) {
  Bytes text;
  const std::size_t width = static_cast<std::size_t>(picture.width);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    text.push_back(picture.pixels[i] == kInk ? kTextInk : kTextPaper);
    if ((i + 1) % width == 0)
      text.push_back('\n');
  }
  return text;
}

}  // namespace mdlReplace
