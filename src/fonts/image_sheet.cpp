// A font sheet: a 128x128 image (PNG, BMP or GIF), glyph n at column n mod
// 16 and row n div 16 of 8x8 cells. Whatever its colours, the one that
// covers most of the sheet is the background and every other one is ink,
// so a sheet drawn dark on light or light on dark reads the same; of two
// that cover as much, the lighter is the background. A sheet
// drawn magnified, each pixel a block of k by k (k up to 8), reads as the
// sheet it magnifies.
#include <algorithm>
#include <array>
#include <climits>

#include "fonts/codecs.h"
#include "fonts/deflate.h"
#include "fonts/stb_image.h"

namespace mdlReplace {

namespace {

constexpr int kSheetSide = 128;
constexpr int kLargestMagnification = 8;
constexpr int kLargestSide = kSheetSide * kLargestMagnification;
constexpr std::size_t kSheetPixels = std::size_t{kSheetSide} * kSheetSide;
constexpr std::size_t kGlyphsPerRow = 16;
constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P',  'N',  'G',
                                                       '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kWrittenInk = 0;
constexpr std::uint8_t kWrittenBackground = 255;

constexpr std::array<std::uint8_t, 2> kBmpSignature = {'B', 'M'};
constexpr std::array<std::uint8_t, 6> kGif87Signature = {'G', 'I', 'F',
                                                         '8', '7', 'a'};
constexpr std::array<std::uint8_t, 6> kGif89Signature = {'G', 'I', 'F',
                                                         '8', '9', 'a'};

constexpr std::string_view kDamaged = "is a PNG image whose data is damaged.";

// A chunk: its length, its type, its data and a CRC of type and data.
constexpr std::size_t kChunkType = 4;
constexpr std::size_t kHeaderDataSize = 13;
std::string Unreadable(std::string_view format) {
  return "is a " + std::string(format) + " image that could not be read.";
}

// A BMP's headers: where its pixels begin, its size, its bits a pixel and
// its compression; 8 and 4 bits a pixel may be compressed by runs, which
// stb does not read.
constexpr std::size_t kBmpPixelsAt = 10;
constexpr std::size_t kBmpBitsPerPixel = 28;
constexpr std::size_t kBmpCompression = 30;
constexpr std::size_t kBmpHeadersEnd = 54;
constexpr std::uint32_t kRuns8 = 1;
constexpr std::uint32_t kRuns4 = 2;
// The oldest headers, of 12 bytes, know no compression.
constexpr std::uint32_t kSmallestInfoWithCompression = 40;

struct BmpHeaders {
  std::uint32_t pixels_at = 0;
  std::uint32_t info_size = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint32_t compression = 0;
};

// False when the file is too short for headers that tell a compression.
bool ReadBmpHeaders(std::span<const std::uint8_t> bytes, BmpHeaders* headers) {
  ByteReader reader(bytes);
  reader.Seek(kBmpPixelsAt);
  headers->pixels_at = reader.U32();
  headers->info_size = reader.U32();
  headers->width = reader.S32();
  headers->height = reader.S32();
  reader.Seek(kBmpCompression);
  headers->compression = reader.U32();
  reader.Seek(kBmpHeadersEnd);
  return reader.ok() && headers->info_size >= kSmallestInfoWithCompression;
}

bool IsRunLengthBmp(std::span<const std::uint8_t> bytes) {
  BmpHeaders headers;
  return ReadBmpHeaders(bytes, &headers) &&
         (headers.compression == kRuns8 || headers.compression == kRuns4);
}

// The palette indices of a run-length compressed BMP, a byte each, rows
// from the bottom: runs of one index (or two alternating, at 4 bits),
// literal stretches padded to 16 bits, and escapes that end a row, end
// the image or move ahead. False when the runs leave the image or end
// early.
bool ExpandRuns(ByteReader reader, bool four_bits, std::size_t width,
                std::size_t height, std::vector<std::uint8_t>* indices) {
  indices->assign(width * height, 0);
  std::size_t x = 0;
  std::size_t y = 0;
  const auto put = [&](std::uint8_t index) {
    if (x >= width || y >= height)
      return false;
    (*indices)[y * width + x++] = index;
    return true;
  };
  const auto nibble = [&](std::uint8_t byte, std::size_t i) {
    return four_bits
               ? static_cast<std::uint8_t>(i % 2 == 0 ? byte >> 4 : byte & 0x0F)
               : byte;
  };
  for (;;) {
    const std::uint8_t count = reader.U8();
    const std::uint8_t value = reader.U8();
    if (!reader.ok())
      return false;
    if (count > 0) {
      for (std::size_t i = 0; i < count; ++i) {
        if (!put(nibble(value, i)))
          return false;
      }
    } else if (value == 0) {  // the row ends
      x = 0;
      ++y;
    } else if (value == 1) {  // the image ends
      return true;
    } else if (value == 2) {  // a move right and up
      x += reader.U8();
      y += reader.U8();
    } else {  // value indices as they are
      const std::size_t literal_bytes = four_bits ? (value + 1u) / 2 : value;
      const std::span<const std::uint8_t> literal =
          reader.Take((literal_bytes + 1) / 2 * 2);
      if (!reader.ok())
        return false;
      for (std::size_t i = 0; i < value; ++i) {
        if (!put(nibble(literal[four_bits ? i / 2 : i], i)))
          return false;
      }
    }
  }
}

// The uncompressed BMP that a run-length compressed one stands for: the
// same headers and palette, 8 bits a pixel, rows padded to 4 bytes.
bool Uncompress(std::span<const std::uint8_t> bytes, Bytes* uncompressed) {
  BmpHeaders headers;
  if (!ReadBmpHeaders(bytes, &headers) || headers.pixels_at < kBmpHeadersEnd ||
      headers.pixels_at > bytes.size() || headers.width <= 0 ||
      headers.width > kLargestSide || headers.height <= 0 ||
      headers.height > kLargestSide)
    return false;
  const std::uint32_t pixels_at = headers.pixels_at;
  std::vector<std::uint8_t> indices;
  ByteReader reader(bytes);
  reader.Seek(pixels_at);
  const std::size_t w = static_cast<std::size_t>(headers.width);
  const std::size_t h = static_cast<std::size_t>(headers.height);
  if (!ExpandRuns(reader, headers.compression == kRuns4, w, h, &indices))
    return false;
  const std::size_t row_bytes = (w + 3) / 4 * 4;
  uncompressed->assign(bytes.begin(), bytes.begin() + pixels_at);
  (*uncompressed)[kBmpBitsPerPixel] = 8;
  (*uncompressed)[kBmpBitsPerPixel + 1] = 0;
  std::fill_n(uncompressed->begin() + kBmpCompression, 8, 0);  // and its size
  for (std::size_t y = 0; y < h; ++y) {
    const auto row = indices.begin() + static_cast<std::ptrdiff_t>(y * w);
    uncompressed->insert(uncompressed->end(), row,
                         row + static_cast<std::ptrdiff_t>(w));
    uncompressed->resize(uncompressed->size() + row_bytes - w, 0);
  }
  return true;
}

std::string WrongSize(std::uint32_t width, std::uint32_t height) {
  return std::string("is a ") + std::to_string(width) + "x" +
         std::to_string(height) + " image, not a 128x128 font sheet.";
}

std::string NotUniform(int side, int magnification) {
  const std::string size = std::to_string(side);
  const std::string block = std::to_string(magnification);
  return "is a " + size + "x" + size + " image, but not a 128x128 font sheet" +
         " magnified: its " + block + "x" + block +
         " blocks of pixels are not each of one colour.";
}

// How many times a sheet of that size magnifies one of 128x128; 0 when
// it is no sheet.
int Magnification(std::uint32_t width, std::uint32_t height) {
  if (width != height || width % kSheetSide != 0 || width > kLargestSide)
    return 0;
  return static_cast<int>(width / kSheetSide);
}

// What a sheet of that side inflates to at most: each row a filter byte
// and its pixels of four 16-bit channels; twice that covers the passes of
// an interlaced one. A stream that gives more is refused as it inflates.
std::size_t LargestImageData(std::uint32_t side) {
  return std::size_t{2} * side * (1 + std::size_t{side} * 8);
}

// Walks the chunks before stb decodes anything: every CRC and the image
// data's own checksum are checked, and only a sheet's image is inflated.
std::string CheckChunks(std::span<const std::uint8_t> bytes) {
  ByteReader reader(bytes, /*big_endian=*/true);
  reader.Skip(kPngSignature.size());
  Bytes image_data;
  std::size_t largest = 0;  // what it may inflate to, once the header is read
  for (;;) {
    const std::uint32_t length = reader.U32();
    const std::span<const std::uint8_t> typed =
        reader.Take(kChunkType + std::uint64_t{length});
    const std::uint32_t crc = reader.U32();
    if (!reader.ok())
      return Unreadable("PNG");
    if (Crc32(typed) != crc)
      return std::string(kDamaged);
    const std::string_view type(reinterpret_cast<const char*>(typed.data()),
                                kChunkType);
    const std::span<const std::uint8_t> data = typed.subspan(kChunkType);
    if (largest == 0) {
      if (type != "IHDR" || length != kHeaderDataSize)
        return Unreadable("PNG");
      ByteReader header(data, /*big_endian=*/true);
      const std::uint32_t width = header.U32();
      const std::uint32_t height = header.U32();
      if (Magnification(width, height) == 0)
        return WrongSize(width, height);
      largest = LargestImageData(width);
    } else if (type == "IDAT") {
      image_data.insert(image_data.end(), data.begin(), data.end());
    } else if (type == "IEND") {
      return ZlibStreamSound(image_data, largest) ? std::string()
                                                  : std::string(kDamaged);
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
// which keeps every colour apart, and a 16-bit sheet whose ink and
// background differ only in their low bytes keeps them apart too. BMP and
// GIF have 8 bits at most, and are widened here the same way.
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
  bool Read(int side) const {
    return data_ != nullptr && width_ == side && height_ == side &&
           channels_ >= 1 && channels_ <= 4;
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

// The colours of the 128x128 sheet that a sheet magnified k times shows;
// false when a block of k by k pixels is not all one colour.
bool SheetColours(const ImagePixels& pixels, int magnification,
                  std::vector<std::uint64_t>* colours) {
  const std::size_t k = static_cast<std::size_t>(magnification);
  const std::size_t side = kSheetSide * k;
  colours->assign(kSheetPixels, 0);
  for (std::size_t y = 0; y < side; ++y) {
    for (std::size_t x = 0; x < side; ++x) {
      const std::uint64_t colour = pixels.ColourAt(y * side + x);
      std::uint64_t& block = (*colours)[(y / k) * kSheetSide + x / k];
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
// two as light, the higher), so that a font of as much ink as paper, drawn
// black on white as this program draws it, reads back as it went.
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
  return BeginsWith(bytes, kPngSignature);
}

bool LooksLikeBmp(std::span<const std::uint8_t> bytes) {
  return BeginsWith(bytes, kBmpSignature);
}

bool LooksLikeGif(std::span<const std::uint8_t> bytes) {
  return BeginsWith(bytes, kGif87Signature) ||
         BeginsWith(bytes, kGif89Signature);
}

// A PNG's chunks are checked before anything is decoded; of any image,
// its size is known before its pixels take memory.
std::string ReadImageSheet(std::span<const std::uint8_t> bytes,
                           FontImage* font) {
  Bytes uncompressed;
  if (IsRunLengthBmp(bytes)) {
    if (!Uncompress(bytes, &uncompressed))
      return Unreadable("BMP");
    bytes = uncompressed;
  }
  const bool png = LooksLikePng(bytes);
  const std::string_view format = png                   ? "PNG"
                                  : LooksLikeBmp(bytes) ? "BMP"
                                                        : "GIF";
  if (bytes.size() > INT_MAX)
    return Unreadable(format);
  if (png) {
    std::string problem = CheckChunks(bytes);
    if (!problem.empty())
      return problem;
  }
  int width = 0;
  int height = 0;
  if (ImageSize(bytes.data(), static_cast<int>(bytes.size()), &width,
                &height) == 0)
    return Unreadable(format);
  const int magnification = Magnification(static_cast<std::uint32_t>(width),
                                          static_cast<std::uint32_t>(height));
  if (magnification == 0)
    return WrongSize(static_cast<std::uint32_t>(width),
                     static_cast<std::uint32_t>(height));
  const ImagePixels pixels(bytes, png);
  if (!pixels.Read(width))
    return Unreadable(format);
  std::vector<std::uint64_t> colours;
  if (!SheetColours(pixels, magnification, &colours))
    return NotUniform(width, magnification);

  const std::uint64_t background = Paper(colours);
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
