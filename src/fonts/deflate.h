// The deflate format as the readers meet it: gzip files (Gunzip, in
// codecs.h) and the zlib stream of a PNG's image data. Their framing, the
// headers, trailers and checksums, is read in one place (deflate_framing.cpp)
// for the program and the page alike; what inflates the raw deflate data
// between them is zlib in the program (deflate_zlib.cpp) and, in the page,
// which has no zlib, the decoder stb_image already carries
// (web/deflate_stb.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace mdlReplace {

constexpr std::string_view kGzipDamaged =
    "is compressed, but could not be decompressed.";
constexpr std::string_view kGzipTrailing =
    "is compressed, but other bytes follow its compressed data.";
constexpr std::string_view kGzipTooLarge =
    "is compressed, and holds more than an 8x8 font could.";

// The CRC-32 of PNG chunks and of gzip, and zlib's Adler-32.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes);
std::uint32_t Adler32(std::span<const std::uint8_t> bytes);

enum class Inflated { Ended, Damaged, TooLarge };

// Inflates the raw deflate data that begins the input, to its final
// block: appends what it makes to out, refusing (TooLarge) to make more
// than limit bytes, and tells how many input bytes it took.
Inflated InflateRaw(std::span<const std::uint8_t> input, std::size_t limit,
                    std::vector<std::uint8_t>* out, std::size_t* consumed);

// Whether the bytes begin with a sound zlib stream that inflates to at
// most limit bytes: its header, its data and its checksum.
bool ZlibStreamSound(std::span<const std::uint8_t> stream, std::size_t limit);

}  // namespace mdlReplace
