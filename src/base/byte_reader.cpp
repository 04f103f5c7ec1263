#include "base/byte_reader.h"

#include <algorithm>

namespace mdlReplace {

bool BeginsWith(std::span<const std::uint8_t> bytes,
                std::span<const std::uint8_t> prefix) {
  return bytes.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

void ByteReader::Seek(std::uint64_t at) {
  if (at > bytes_.size()) {
    ok_ = false;
    at_ = bytes_.size();
    return;
  }
  at_ = static_cast<std::size_t>(at);
}

std::span<const std::uint8_t> ByteReader::Take(std::uint64_t count) {
  if (count > bytes_.size() - at_) {
    ok_ = false;
    at_ = bytes_.size();
    return {};
  }
  const std::span<const std::uint8_t> taken =
      bytes_.subspan(at_, static_cast<std::size_t>(count));
  at_ += static_cast<std::size_t>(count);
  return taken;
}

std::uint64_t ByteReader::Number(std::size_t width) {
  const std::span<const std::uint8_t> taken = Take(width);
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < taken.size(); ++i) {
    const std::size_t shift = big_endian_ ? (taken.size() - 1 - i) : i;
    value |= static_cast<std::uint64_t>(taken[i]) << (8 * shift);
  }
  return value;
}

}  // namespace mdlReplace
