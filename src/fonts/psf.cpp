// PSF, the Linux console's font format, versions 1 and 2.
#include <algorithm>
#include <array>

#include "fonts/codecs.h"

namespace mdlReplace {

namespace {

constexpr std::array<std::uint8_t, 2> kPsf1Magic = {0x36, 0x04};
constexpr std::array<std::uint8_t, 4> kPsf2Magic = {0x72, 0xb5, 0x4a, 0x86};
constexpr std::size_t kPsf1HeaderSize = 4;
constexpr std::size_t kPsf2HeaderSize = 32;
// Version 1's mode: 512 glyphs instead of 256, a Unicode table, sequences
// in it. Any other bit is no PSF.
constexpr std::uint8_t kPsf1Has512 = 0x01;
constexpr std::uint8_t kPsf1Modes = 0x07;

constexpr std::string_view kEndsEarly =
    "is a PSF font that ends before its last glyph.";
constexpr std::string_view kDamagedHeader =
    "is a PSF font with a damaged header.";

bool BeginsWith(std::span<const std::uint8_t> bytes,
                std::span<const std::uint8_t> magic) {
  return bytes.size() >= magic.size() &&
         std::equal(magic.begin(), magic.end(), bytes.begin());
}

std::string NotEightByEight(std::uint64_t width, std::uint64_t height) {
  return std::string("is a PSF font of ") + std::to_string(width) + "x" +
         std::to_string(height) + " glyphs, not 8x8.";
}

std::string TooFewGlyphs(std::uint64_t count) {
  return std::string("is a PSF font of only ") + std::to_string(count) +
         " glyphs, not 256.";
}

std::uint32_t Little32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) |
         static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// The first 256 glyphs, from the offset, once the file holds all of its
// glyphs.
std::string TakeGlyphs(std::span<const std::uint8_t> bytes, std::uint64_t at,
                       std::uint64_t glyph_bytes, FontImage* font) {
  if (bytes.size() < at || bytes.size() - at < glyph_bytes)
    return std::string(kEndsEarly);
  std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), kFontSize,
              font->begin());
  return std::string();
}

std::string ReadVersion1(std::span<const std::uint8_t> bytes, FontImage* font) {
  const std::uint8_t mode = bytes[2];
  const std::uint8_t height = bytes[3];
  if (height != kGlyphSize)
    return NotEightByEight(kGlyphSize, height);
  const std::uint64_t count = (mode & kPsf1Has512) != 0 ? 512 : 256;
  return TakeGlyphs(bytes, kPsf1HeaderSize, count * kGlyphSize, font);
}

std::string ReadVersion2(std::span<const std::uint8_t> bytes, FontImage* font) {
  if (bytes.size() < kPsf2HeaderSize)
    return std::string(kEndsEarly);
  const std::uint32_t header_size = Little32(bytes, 8);
  const std::uint32_t count = Little32(bytes, 16);
  const std::uint32_t glyph_bytes = Little32(bytes, 20);
  const std::uint32_t height = Little32(bytes, 24);
  const std::uint32_t width = Little32(bytes, 28);
  if (width != kGlyphSize || height != kGlyphSize)
    return NotEightByEight(width, height);
  if (header_size < kPsf2HeaderSize || glyph_bytes != kGlyphSize)
    return std::string(kDamagedHeader);
  if (count < kGlyphCount)
    return TooFewGlyphs(count);
  return TakeGlyphs(bytes, header_size,
                    static_cast<std::uint64_t>(count) * kGlyphSize, font);
}

}  // namespace

bool LooksLikePsf(std::span<const std::uint8_t> bytes) {
  return BeginsWith(bytes, kPsf2Magic) ||
         (BeginsWith(bytes, kPsf1Magic) && bytes.size() >= kPsf1HeaderSize &&
          (bytes[2] & ~kPsf1Modes) == 0 && bytes[3] != 0);
}

std::string ReadPsf(std::span<const std::uint8_t> bytes, FontImage* font) {
  return BeginsWith(bytes, kPsf2Magic) ? ReadVersion2(bytes, font)
                                       : ReadVersion1(bytes, font);
}

// Version 1, 256 glyphs, no Unicode table: what setfont loads.
Bytes WritePsf(const FontImage& font) {
  Bytes bytes(kPsf1HeaderSize + kFontSize);
  std::copy(kPsf1Magic.begin(), kPsf1Magic.end(), bytes.begin());
  bytes[2] = 0;  // mode: 256 glyphs, nothing else
  bytes[3] = static_cast<std::uint8_t>(kGlyphSize);
  std::copy(font.begin(), font.end(), bytes.begin() + kPsf1HeaderSize);
  return bytes;
}

}  // namespace mdlReplace
