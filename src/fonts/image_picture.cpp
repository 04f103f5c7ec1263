#include "fonts/image_picture.h"

#include <algorithm>
#include <array>
#include <climits>

#include "base/byte_reader.h"
#include "fonts/codecs.h"
#include "fonts/deflate.h"
#include "fonts/stb_image.h"

namespace mdlReplace {

namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P',  'N',  'G',
                                                       '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kWrittenInk = 0;
constexpr std::uint8_t kWrittenPaper = 255;

constexpr std::array<std::uint8_t, 2> kBmpSignature = {'B', 'M'};
constexpr std::array<std::uint8_t, 6> kGif87Signature = {'G', 'I', 'F',
                                                         '8', '7', 'a'};
constexpr std::array<std::uint8_t, 6> kGif89Signature = {'G', 'I', 'F',
                                                         '8', '9', 'a'};

// A chunk: its length, its type, its data and a CRC of type and data.
constexpr std::size_t kChunkType = 4;
constexpr std::size_t kHeaderDataSize = 13;

// How many times an image of that size magnifies one of the size asked
// for; 0 when it does not.
int Magnification(std::uint32_t width, std::uint32_t height,
                  PictureSize asked) {
  const std::uint32_t across = static_cast<std::uint32_t>(asked.width);
  const std::uint32_t down = static_cast<std::uint32_t>(asked.height);
  if (width == 0 || width % across != 0)
    return 0;
  const std::uint32_t k = width / across;
  if (k > kLargestMagnification || height != k * down)
    return 0;
  return static_cast<int>(k);
}

// What an image of that size inflates to at most: each row a filter byte
// and its pixels of four 16-bit channels; twice that covers the passes of
// an interlaced one. A stream that gives more is refused as it inflates.
std::size_t LargestImageData(std::uint32_t width, std::uint32_t height) {
  return std::size_t{2} * height * (1 + std::size_t{width} * 8);
}

// Walks the chunks before stb decodes anything: every CRC and the image
// data's own checksum are checked, and only an image of a size asked for
// is inflated.
void CheckChunks(std::span<const std::uint8_t> bytes, PictureSize asked,
                 ImageRead* read) {
  ByteReader reader(bytes, /*big_endian=*/true);
  reader.Skip(kPngSignature.size());
  Bytes image_data;
  std::size_t largest = 0;  // what it may inflate to, once the header is read
  for (;;) {
    const std::uint32_t length = reader.U32();
    const std::span<const std::uint8_t> typed =
        reader.Take(kChunkType + std::uint64_t{length});
    const std::uint32_t crc = reader.U32();
    if (!reader.ok()) {
      read->fault = ImageFault::Unreadable;
      return;
    }
    if (Crc32(typed) != crc) {
      read->fault = ImageFault::Damaged;
      return;
    }
    const std::string_view type(reinterpret_cast<const char*>(typed.data()),
                                kChunkType);
    const std::span<const std::uint8_t> data = typed.subspan(kChunkType);
    if (largest == 0) {
      if (type != "IHDR" || length != kHeaderDataSize) {
        read->fault = ImageFault::Unreadable;
        return;
      }
      ByteReader header(data, /*big_endian=*/true);
      read->width = header.U32();
      read->height = header.U32();
      if (Magnification(read->width, read->height, asked) == 0) {
        read->fault = ImageFault::WrongSize;
        return;
      }
      largest = LargestImageData(read->width, read->height);
    } else if (type == "IDAT") {
      image_data.insert(image_data.end(), data.begin(), data.end());
    } else if (type == "IEND") {
      if (!ZlibStreamSound(image_data, largest))
        read->fault = ImageFault::Damaged;
      return;
    }
  }
}

// Red, green, blue and alpha of 16 bits in one number; every fully
// transparent pixel is the same colour, whatever its others say.
std::uint64_t Colour(std::uint64_t red, std::uint64_t green, std::uint64_t blue,
                     std::uint64_t alpha) {
  if (alpha == 0)
    return 0;
  return red << 48 | green << 32 | blue << 16 | alpha;
}

// An image's pixels as stb gives them, in the channels the image has. A
// PNG is read at 16 bits a channel: stb widens an 8-bit channel (v * 257),
// which keeps every colour apart, and a 16-bit image whose ink and paper
// differ only in their low bytes keeps them apart too. BMP and GIF have 8
// bits at most, and are widened here the same way.
class ImagePixels {
 public:
  ImagePixels(std::span<const std::uint8_t> bytes, bool png) : png_(png) {
    const int size = static_cast<int>(bytes.size());
    if (png)
      data_ = ImageLoad16(bytes.data(), size, &width_, &height_, &channels_);
    else
      data_ = ImageLoad8(bytes.data(), size, &width_, &height_, &channels_);
  }
  ~ImagePixels() { ImageFree(data_); }
  ImagePixels(const ImagePixels&) = delete;
  ImagePixels& operator=(const ImagePixels&) = delete;

  // Whether the image was read, at the size its header gave.
  bool Read(std::uint32_t width, std::uint32_t height) const {
    return data_ != nullptr && static_cast<std::uint32_t>(width_) == width &&
           static_cast<std::uint32_t>(height_) == height && channels_ >= 1 &&
           channels_ <= 4;
  }

  std::uint64_t ColourAt(std::size_t index) const {
    std::array<std::uint64_t, 4> values{};
    for (std::size_t c = 0; c < static_cast<std::size_t>(channels_); ++c) {
      const std::size_t at = index * static_cast<std::size_t>(channels_) + c;
      values[c] = png_ ? static_cast<const unsigned short*>(data_)[at]
                       : static_cast<const unsigned char*>(data_)[at] * 257u;
    }
    // Grey, grey and alpha, red green and blue, and with alpha.
    const bool grey = channels_ <= 2;
    const bool alpha = channels_ == 2 || channels_ == 4;
    const std::uint64_t opaque = 0xFFFF;
    return Colour(
        values[0], grey ? values[0] : values[1], grey ? values[0] : values[2],
        alpha ? values[static_cast<std::size_t>(channels_) - 1] : opaque);
  }

 private:
  bool png_;
  void* data_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int channels_ = 0;
};

// The colours of the picture of the size asked for that an image
// magnified k times shows; false when a block of k by k pixels is not all
// one colour.
bool PictureColours(const ImagePixels& pixels, PictureSize size,
                    int magnification, std::vector<std::uint64_t>* colours) {
  const std::size_t k = static_cast<std::size_t>(magnification);
  const std::size_t across = static_cast<std::size_t>(size.width);
  const std::size_t down = static_cast<std::size_t>(size.height);
  const std::size_t image_width = across * k;
  const std::size_t image_height = down * k;
  colours->assign(across * down, 0);
  for (std::size_t y = 0; y < image_height; ++y) {
    for (std::size_t x = 0; x < image_width; ++x) {
      const std::uint64_t colour = pixels.ColourAt(y * image_width + x);
      std::uint64_t& block = (*colours)[(y / k) * across + x / k];
      if (y % k == 0 && x % k == 0)
        block = colour;
      else if (colour != block)
        return false;
    }
  }
  return true;
}

// How light a colour is: its red, green and blue added; a fully
// transparent one shows the page under it, as light as white.
std::uint64_t Lightness(std::uint64_t colour) {
  constexpr std::uint64_t kChannel = 0xFFFF;
  if (colour == 0)
    return 3 * kChannel;
  return (colour >> 48 & kChannel) + (colour >> 32 & kChannel) +
         (colour >> 16 & kChannel);
}

// The paper: the colour of most pixels; of two as common, the lighter (of
// two as light, the higher), so that a picture of as much ink as paper,
// drawn black on white as this program draws it, reads back as it went.
std::uint64_t Paper(std::vector<std::uint64_t> colours) {
  std::sort(colours.begin(), colours.end());
  std::uint64_t best = colours.front();
  std::size_t best_count = 0;
  for (std::size_t at = 0; at < colours.size();) {
    std::size_t end = at;
    while (end < colours.size() && colours[end] == colours[at])
      ++end;
    const std::size_t count = end - at;
    if (count > best_count ||
        (count == best_count && Lightness(colours[at]) >= Lightness(best))) {
      best = colours[at];
      best_count = count;
    }
    at = end;
  }
  return best;
}

void AppendWritten(void* context, void* data, int size) {
  Bytes* bytes = static_cast<Bytes*>(context);
  const std::uint8_t* start = static_cast<const std::uint8_t*>(data);
  bytes->insert(bytes->end(), start, start + size);
}

}  // namespace

bool LooksLikePng(std::span<const std::uint8_t> bytes) {
  return BeginsWith(bytes, kPngSignature);
}

bool LooksLikeBmp(std::span<const std::uint8_t> bytes) {
  return BeginsWith(bytes, kBmpSignature);
}

bool LooksLikeGif(std::span<const std::uint8_t> bytes) {
  return BeginsWith(bytes, kGif87Signature) ||
         BeginsWith(bytes, kGif89Signature);
}

std::string UnreadableImage(std::string_view format) {
  return "is a " + std::string(format) + " image that could not be read.";
}

std::string DamagedImage() {
  return "is a PNG image whose data is damaged.";
}

ImageRead ReadInkPicture(std::span<const std::uint8_t> bytes, PictureSize size,
                         Picture* picture) {
  ImageRead read;
  Bytes uncompressed;
  if (IsRunLengthBmp(bytes)) {
    read.format = "BMP";
    if (!UncompressBmp(bytes, size.width * kLargestMagnification,
                       size.height * kLargestMagnification, &uncompressed)) {
      read.fault = ImageFault::Unreadable;
      return read;
    }
    bytes = uncompressed;
  }
  const bool png = LooksLikePng(bytes);
  read.format = png ? "PNG" : LooksLikeBmp(bytes) ? "BMP" : "GIF";
  read.fault = bytes.size() > INT_MAX ? ImageFault::Unreadable : read.fault;
  if (png && read.fault == ImageFault::None)
    CheckChunks(bytes, size, &read);
  if (read.fault != ImageFault::None)
    return read;
  int image_width = 0;
  int image_height = 0;
  if (ImageSize(bytes.data(), static_cast<int>(bytes.size()), &image_width,
                &image_height) == 0) {
    read.fault = ImageFault::Unreadable;
    return read;
  }
  read.width = static_cast<std::uint32_t>(image_width);
  read.height = static_cast<std::uint32_t>(image_height);
  read.magnification = Magnification(read.width, read.height, size);
  if (read.magnification == 0) {
    read.fault = ImageFault::WrongSize;
    return read;
  }
  const ImagePixels pixels(bytes, png);
  std::vector<std::uint64_t> colours;
  if (!pixels.Read(read.width, read.height)) {
    read.fault = ImageFault::Unreadable;
  } else if (!PictureColours(pixels, size, read.magnification, &colours)) {
    read.fault = ImageFault::NotUniform;
  } else {
    const std::uint64_t paper = Paper(colours);
    picture->width = size.width;
    picture->height = size.height;
    picture->pixels.resize(colours.size());
    for (std::size_t i = 0; i < colours.size(); ++i) {
      picture->pixels[i] = static_cast<std::uint8_t>(
          colours[i] == paper ? PictureColour::Paper : PictureColour::Ink);
    }
  }
  return read;
}

Bytes WritePicturePng(const Picture& picture) {
  std::vector<std::uint8_t> grey(picture.pixels.size(), kWrittenPaper);
  for (std::size_t i = 0; i < grey.size(); ++i) {
    if (picture.pixels[i] == static_cast<std::uint8_t>(PictureColour::Ink))
      grey[i] = kWrittenInk;
  }
  Bytes bytes;
  PngWrite(AppendWritten, &bytes, picture.width, picture.height, 1,
           grey.data());
  return bytes;
}

}  // namespace mdlReplace
