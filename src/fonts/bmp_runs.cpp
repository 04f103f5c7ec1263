// BMPs compressed by runs, which stb does not read, made into the
// uncompressed BMPs they stand for: the same headers and palette, 8 bits
// a pixel, rows padded to 4 bytes.
#include <algorithm>

#include "base/byte_reader.h"
#include "fonts/image_picture.h"

namespace mdlReplace {

namespace {

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

}  // namespace

bool UncompressBmp(std::span<const std::uint8_t> bytes, int largest_width,
                   int largest_height, Bytes* uncompressed) {
  BmpHeaders headers;
  if (!ReadBmpHeaders(bytes, &headers) || headers.pixels_at < kBmpHeadersEnd ||
      headers.pixels_at > bytes.size() || headers.width <= 0 ||
      headers.width > largest_width || headers.height <= 0 ||
      headers.height > largest_height)
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

bool IsRunLengthBmp(std::span<const std::uint8_t> bytes) {
  BmpHeaders headers;
  return ReadBmpHeaders(bytes, &headers) &&
         (headers.compression == kRuns8 || headers.compression == kRuns4);
}

}  // namespace mdlReplace
