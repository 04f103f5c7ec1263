// What the readers need of the deflate format: a CRC, a check of a zlib
// stream, and gzip (Gunzip, in codecs.h). In the program zlib does them
// (deflate_zlib.cpp, gzip.cpp); the page, which has no zlib, has its own
// over stb's decoder, with the same messages and limits.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace mdlReplace {

constexpr std::string_view kGzipDamaged =
    "is compressed, but could not be decompressed.";
constexpr std::string_view kGzipTrailing =
    "is compressed, but other bytes follow its compressed data.";
constexpr std::string_view kGzipTooLarge =
    "is compressed, and holds more than an 8x8 font could.";

// The CRC-32 of PNG chunks and of gzip.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

// Checks a zlib stream given a piece at a time, keeping little of what it
// inflates: the stream must end, its checksum hold, and what it inflates
// to stay within the limit.
class ZlibStreamCheck {
 public:
  explicit ZlibStreamCheck(std::size_t limit);
  ~ZlibStreamCheck();
  ZlibStreamCheck(const ZlibStreamCheck&) = delete;
  ZlibStreamCheck& operator=(const ZlibStreamCheck&) = delete;

  void Add(std::span<const std::uint8_t> data);
  bool Sound() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace mdlReplace
