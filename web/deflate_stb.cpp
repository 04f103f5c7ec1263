// The page's deflate decoder, where there is no zlib: the one stb_image
// already carries for PNG. It inflates straight into the output, made the
// limit's size longer first and cut to what was made after.

#include "fonts/deflate.h"
#include "fonts/stb_image.h"

namespace mdlReplace {

namespace {

// Adler-32's modulus: the largest prime below 2^16.
constexpr std::uint32_t kAdlerModulus = 65521;

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  return ImageCrc32(bytes.data(), static_cast<int>(bytes.size()));
}

// stb reads a zlib stream without its checksum, and has none to lend.
std::uint32_t Adler32(std::span<const std::uint8_t> bytes) {
  std::uint32_t low = 1;
  std::uint32_t high = 0;
  for (std::uint8_t byte : bytes) {
    low = (low + byte) % kAdlerModulus;
    high = (high + low) % kAdlerModulus;
  }
  return high << 16 | low;
}

Inflated InflateRaw(std::span<const std::uint8_t> input, std::size_t limit,
                    std::vector<std::uint8_t>* out, std::size_t* consumed) {
  const std::size_t start = out->size();
  out->resize(start + limit);
  int taken = 0;
  const int size =
      ImageInflateRaw(out->data() + start, static_cast<int>(limit),
                      input.data(), static_cast<int>(input.size()), &taken);
  out->resize(start + static_cast<std::size_t>(size < 0 ? 0 : size));
  if (size == -2)
    return Inflated::TooLarge;
  if (size < 0 || taken < 0)
    return Inflated::Damaged;
  *consumed = static_cast<std::size_t>(taken);
  return Inflated::Ended;
}

}  // namespace mdlReplace
