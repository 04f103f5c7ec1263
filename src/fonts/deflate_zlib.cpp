// The program's deflate decoder and checksums: zlib's.
#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>

#include "fonts/deflate.h"

namespace mdlReplace {

namespace {

// Raw deflate data, with the largest window: the framing is read apart.
constexpr int kRawWindowBits = -15;

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint32_t>(
      crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
}

std::uint32_t Adler32(std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint32_t>(
      adler32(1, bytes.data(), static_cast<uInt>(bytes.size())));
}

// What is made grows by doubling, but never far past the limit.
Inflated InflateRaw(std::span<const std::uint8_t> input, std::size_t limit,
                    std::vector<std::uint8_t>* out, std::size_t* consumed) {
  if (input.size() > UINT_MAX)
    return Inflated::TooLarge;
  z_stream stream{};
  if (inflateInit2(&stream, kRawWindowBits) != Z_OK)
    return Inflated::Damaged;
  // zlib reads its input through a pointer to non-const, but never writes.
  stream.next_in = const_cast<Bytef*>(input.data());
  stream.avail_in = static_cast<uInt>(input.size());
  std::array<std::uint8_t, 16384> piece;
  std::size_t made = 0;
  int result = Z_OK;
  while (result == Z_OK && made <= limit) {
    stream.next_out = piece.data();
    stream.avail_out = static_cast<uInt>(piece.size());
    result = inflate(&stream, Z_NO_FLUSH);
    const std::size_t produced = piece.size() - stream.avail_out;
    // Room for what this piece adds, doubled, but none past the limit.
    const std::size_t most = out->size() + (limit - made) + produced;
    if (out->size() + produced > out->capacity())
      out->reserve(std::min(
          std::max(out->capacity() * 2, out->size() + produced), most));
    out->insert(out->end(), piece.begin(),
                piece.begin() + static_cast<std::ptrdiff_t>(produced));
    made += produced;
  }
  *consumed = stream.total_in;
  inflateEnd(&stream);
  if (made > limit)
    return Inflated::TooLarge;
  return result == Z_STREAM_END ? Inflated::Ended : Inflated::Damaged;
}

}  // namespace mdlReplace
