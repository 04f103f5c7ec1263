// gzip, as Debian ships console fonts (.psf.gz), through zlib.
#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>

#include "fonts/codecs.h"
#include "fonts/deflate.h"

namespace mdlReplace {

namespace {

// zlib: the largest window, and gzip's wrapper rather than zlib's.
constexpr int kGzipWindowBits = 15 + 16;

}  // namespace

// Every member, one after the other, as zcat reads them; bytes after the
// last member that begin no other are refused. The content grows by
// doubling, but never far past the limit.
std::string Gunzip(std::span<const std::uint8_t> bytes, std::size_t limit,
                   Bytes* content) {
  if (bytes.size() > UINT_MAX)
    return std::string(kGzipTooLarge);
  z_stream stream{};
  if (inflateInit2(&stream, kGzipWindowBits) != Z_OK)
    return std::string(kGzipDamaged);
  // zlib reads its input through a pointer to non-const, but never writes.
  stream.next_in = const_cast<Bytef*>(bytes.data());
  stream.avail_in = static_cast<uInt>(bytes.size());
  std::array<std::uint8_t, 16384> piece;
  int result = Z_OK;
  content->clear();
  while (content->size() <= limit) {
    stream.next_out = piece.data();
    stream.avail_out = static_cast<uInt>(piece.size());
    result = inflate(&stream, Z_NO_FLUSH);
    const std::size_t produced = piece.size() - stream.avail_out;
    if (content->size() + produced > content->capacity())
      content->reserve(std::min(std::max(content->capacity() * 2, piece.size()),
                                limit + piece.size()));
    content->insert(content->end(), piece.begin(),
                    piece.begin() + static_cast<std::ptrdiff_t>(produced));
    if (result == Z_STREAM_END) {
      const std::span<const std::uint8_t> rest(stream.next_in, stream.avail_in);
      if (rest.empty())
        break;
      if (!LooksLikeGzip(rest) || inflateReset(&stream) != Z_OK) {
        inflateEnd(&stream);
        return std::string(kGzipTrailing);
      }
    } else if (result != Z_OK) {
      break;
    }
  }
  inflateEnd(&stream);
  if (content->size() > limit)
    return std::string(kGzipTooLarge);
  return result == Z_STREAM_END ? std::string() : std::string(kGzipDamaged);
}

}  // namespace mdlReplace
