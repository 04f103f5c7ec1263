// Numbers read from bytes, every read checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace mdlReplace {

bool BeginsWith(std::span<const std::uint8_t> bytes,
                std::span<const std::uint8_t> prefix);

// Reads numbers from bytes in order, in either byte order. A read that
// would pass the end gives 0 and fails the reader, so that a whole header
// can be read first and checked once.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes,
                      bool big_endian = false)
      : bytes_(bytes), big_endian_(big_endian) {}

  void set_big_endian(bool big_endian) { big_endian_ = big_endian; }
  // Moves to the offset; past the end fails the reader.
  void Seek(std::uint64_t at);
  void Skip(std::uint64_t count) { Seek(at_ + count); }
  std::uint8_t U8() { return static_cast<std::uint8_t>(Number(1)); }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Number(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Number(4)); }
  int S8() {
    const int value = U8();
    return value < 0x80 ? value : value - 0x100;
  }
  std::int16_t S16() { return static_cast<std::int16_t>(U16()); }
  std::int32_t S32() { return static_cast<std::int32_t>(U32()); }
  // The next count bytes; empty, and the reader failed, when there are
  // fewer.
  std::span<const std::uint8_t> Take(std::uint64_t count);

  bool ok() const { return ok_; }
  std::size_t at() const { return at_; }
  std::size_t size() const { return bytes_.size(); }

 private:
  std::uint64_t Number(std::size_t width);

  std::span<const std::uint8_t> bytes_;
  bool big_endian_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

}  // namespace mdlReplace
