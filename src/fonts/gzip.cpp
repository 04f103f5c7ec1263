// gzip, as Debian ships console fonts (.psf.gz), through zlib.
#include <zlib.h>

#include <array>
#include <climits>

#include "fonts/codecs.h"

namespace mdlReplace {

namespace {

// The two bytes of every gzip file, and deflate, its only method.
constexpr std::array<std::uint8_t, 3> kGzipStart = {0x1F, 0x8B, 0x08};
// zlib: the largest window, and gzip's wrapper rather than zlib's.
constexpr int kGzipWindowBits = 15 + 16;

constexpr std::string_view kDamaged =
    "is compressed, but could not be decompressed.";
constexpr std::string_view kTooLarge =
    "is compressed, and holds more than an 8x8 font could.";

}  // namespace

bool LooksLikeGzip(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= kGzipStart.size() &&
         std::equal(kGzipStart.begin(), kGzipStart.end(), bytes.begin());
}

std::string Gunzip(std::span<const std::uint8_t> bytes, std::size_t limit,
                   Bytes* content) {
  if (bytes.size() > UINT_MAX)
    return std::string(kTooLarge);
  z_stream stream{};
  if (inflateInit2(&stream, kGzipWindowBits) != Z_OK)
    return std::string(kDamaged);
  // zlib reads its input through a pointer to non-const, but never writes.
  stream.next_in = const_cast<Bytef*>(bytes.data());
  stream.avail_in = static_cast<uInt>(bytes.size());
  std::array<std::uint8_t, 16384> piece;
  int result = Z_OK;
  content->clear();
  while (result == Z_OK && content->size() <= limit) {
    stream.next_out = piece.data();
    stream.avail_out = static_cast<uInt>(piece.size());
    result = inflate(&stream, Z_NO_FLUSH);
    content->insert(
        content->end(), piece.begin(),
        piece.end() - static_cast<std::ptrdiff_t>(stream.avail_out));
  }
  inflateEnd(&stream);
  if (content->size() > limit)
    return std::string(kTooLarge);
  return result == Z_STREAM_END ? std::string() : std::string(kDamaged);
}

}  // namespace mdlReplace
