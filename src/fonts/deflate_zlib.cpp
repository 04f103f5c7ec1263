#include <zlib.h>

#include <array>

#include "fonts/deflate.h"

namespace mdlReplace {

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint32_t>(
      crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
}

struct ZlibStreamCheck::State {
  std::size_t limit = 0;
  z_stream stream{};
  bool ok = false;
  bool ended = false;
};

ZlibStreamCheck::ZlibStreamCheck(std::size_t limit) : state_(new State) {
  state_->limit = limit;
  state_->ok = inflateInit(&state_->stream) == Z_OK;
}

ZlibStreamCheck::~ZlibStreamCheck() {
  inflateEnd(&state_->stream);
}

// Inflates into a fixed buffer, as a check alone.
void ZlibStreamCheck::Add(std::span<const std::uint8_t> data) {
  State& state = *state_;
  // zlib reads its input through a pointer to non-const, but never writes.
  state.stream.next_in = const_cast<Bytef*>(data.data());
  state.stream.avail_in = static_cast<uInt>(data.size());
  // Until the piece is used up and zlib holds nothing back.
  std::array<std::uint8_t, 4096> piece;
  do {
    if (!state.ok || state.ended)
      return;
    state.stream.next_out = piece.data();
    state.stream.avail_out = static_cast<uInt>(piece.size());
    const int result = inflate(&state.stream, Z_NO_FLUSH);
    state.ended = result == Z_STREAM_END;
    state.ok = (result == Z_OK || state.ended ||
                (result == Z_BUF_ERROR && state.stream.avail_in == 0)) &&
               state.stream.total_out <= state.limit;
  } while (state.stream.avail_in > 0 || state.stream.avail_out == 0);
}

bool ZlibStreamCheck::Sound() const {
  return state_->ok && state_->ended;
}

}  // namespace mdlReplace
