// A font sheet: a 128x128 PNG image, glyph n at column n mod 16 and row
// n div 16 of 8x8 cells. Whatever its colours, the one that covers most of
// the sheet is the background and every other one is ink, so a sheet drawn
// dark on light or light on dark reads the same.
#include <algorithm>
#include <array>
#include <climits>

#include <zlib.h>

#include "fonts/codecs.h"
#include "fonts/stb_png.h"

namespace mdlReplace {

namespace {

constexpr int kSheetSide = 128;
constexpr std::size_t kSheetPixels = std::size_t{kSheetSide} * kSheetSide;
constexpr std::size_t kGlyphsPerRow = 16;
constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P',  'N',  'G',
                                                       '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kWrittenInk = 0;
constexpr std::uint8_t kWrittenBackground = 255;

constexpr std::string_view kUnreadable =
    "is a PNG image that could not be read.";
constexpr std::string_view kDamaged = "is a PNG image whose data is damaged.";

// A chunk: its length, its type, its data and a CRC of type and data.
constexpr std::size_t kChunkFrame = 12;
constexpr std::size_t kHeaderDataSize = 13;
// What a 128x128 image inflates to at most: each row a filter byte and 128
// pixels of four 16-bit channels; twice that covers the passes of an
// interlaced one. A stream that gives more is refused as it inflates.
constexpr std::size_t kLargestImageData =
    std::size_t{2} * kSheetSide * (1 + std::size_t{kSheetSide} * 8);

std::string WrongSize(std::uint32_t width, std::uint32_t height) {
  return std::string("is a ") + std::to_string(width) + "x" +
         std::to_string(height) + " image, not a 128x128 font sheet.";
}

std::uint32_t Big32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) << 24 |
         static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

bool IsType(std::span<const std::uint8_t> chunk, std::string_view type) {
  return std::equal(type.begin(), type.end(), chunk.begin() + 4);
}

// Inflates the image data a chunk at a time into a fixed buffer, as a
// check alone: the stream must end, its checksum hold, and its size stay
// within what a sheet can have.
class ImageDataCheck {
 public:
  ImageDataCheck() { ok_ = inflateInit(&stream_) == Z_OK; }
  ~ImageDataCheck() { inflateEnd(&stream_); }
  ImageDataCheck(const ImageDataCheck&) = delete;
  ImageDataCheck& operator=(const ImageDataCheck&) = delete;

  void Add(std::span<const std::uint8_t> data) {
    // zlib reads its input through a pointer to non-const, but never
    // writes.
    stream_.next_in = const_cast<Bytef*>(data.data());
    stream_.avail_in = static_cast<uInt>(data.size());
    // Until the chunk is used up and zlib holds nothing back.
    std::array<std::uint8_t, 4096> piece;
    do {
      if (!ok_ || ended_)
        return;
      stream_.next_out = piece.data();
      stream_.avail_out = static_cast<uInt>(piece.size());
      const int result = inflate(&stream_, Z_NO_FLUSH);
      ended_ = result == Z_STREAM_END;
      ok_ = (result == Z_OK || ended_ ||
             (result == Z_BUF_ERROR && stream_.avail_in == 0)) &&
            stream_.total_out <= kLargestImageData;
    } while (stream_.avail_in > 0 || stream_.avail_out == 0);
  }
  bool Sound() const { return ok_ && ended_; }

 private:
  z_stream stream_{};
  bool ok_ = false;
  bool ended_ = false;
};

// Walks the chunks before stb decodes anything: every CRC and the image
// data's own checksum are checked, and only a 128x128 image is inflated.
std::string CheckChunks(std::span<const std::uint8_t> bytes) {
  std::size_t at = kPngSignature.size();
  bool have_header = false;
  ImageDataCheck image_data;
  for (;;) {
    if (bytes.size() - at < kChunkFrame)
      return std::string(kUnreadable);
    const std::uint32_t length = Big32(bytes, at);
    if (length > bytes.size() - at - kChunkFrame)
      return std::string(kUnreadable);
    const std::span<const std::uint8_t> chunk = bytes.subspan(at, length + 8);
    const std::span<const std::uint8_t> typed = chunk.subspan(4);
    if (crc32(0, typed.data(), static_cast<uInt>(typed.size())) !=
        Big32(bytes, at + 8 + length))
      return std::string(kDamaged);
    const std::span<const std::uint8_t> data = chunk.subspan(8);
    if (!have_header) {
      if (!IsType(chunk, "IHDR") || length != kHeaderDataSize)
        return std::string(kUnreadable);
      const std::uint32_t width = Big32(data, 0);
      const std::uint32_t height = Big32(data, 4);
      if (width != kSheetSide || height != kSheetSide)
        return WrongSize(width, height);
      have_header = true;
    } else if (IsType(chunk, "IDAT")) {
      image_data.Add(data);
    } else if (IsType(chunk, "IEND")) {
      return image_data.Sound() ? std::string() : std::string(kDamaged);
    }
    at += kChunkFrame + length;
  }
}

// Red, green, blue and alpha of 16 bits in one number; every fully
// transparent pixel is the same colour, whatever its others say.
std::uint64_t Colour(std::uint64_t red, std::uint64_t green, std::uint64_t blue,
                     std::uint64_t alpha) {
  if (alpha == 0)
    return 0;
  return red << 48 | green << 32 | blue << 16 | alpha;
}

// The colours of the sheet's pixels, always read at 16 bits a channel:
// stb widens an 8-bit channel (v * 257), which keeps every colour apart,
// and a 16-bit sheet whose ink and background differ only in their low
// bytes keeps them apart too.
bool ReadColours(std::span<const std::uint8_t> bytes,
                 std::vector<std::uint64_t>* colours) {
  int width = 0;
  int height = 0;
  unsigned short* pixels =
      PngLoad16(bytes.data(), static_cast<int>(bytes.size()), &width, &height);
  if (pixels == nullptr)
    return false;
  colours->resize(kSheetPixels);
  for (std::size_t i = 0; i < kSheetPixels; ++i) {
    const unsigned short* p = pixels + i * 4;
    (*colours)[i] = Colour(p[0], p[1], p[2], p[3]);
  }
  PngFree(pixels);
  return true;
}

// The colour of most pixels; of two as common, the lower.
std::uint64_t MostCommon(std::vector<std::uint64_t> colours) {
  std::sort(colours.begin(), colours.end());
  std::uint64_t best = colours.front();
  std::size_t best_count = 0;
  for (std::size_t at = 0; at < colours.size();) {
    std::size_t end = at;
    while (end < colours.size() && colours[end] == colours[at])
      ++end;
    if (end - at > best_count) {
      best = colours[at];
      best_count = end - at;
    }
    at = end;
  }
  return best;
}

std::size_t PixelIndex(std::size_t code, std::size_t row, std::size_t column) {
  const std::size_t x = (code % kGlyphsPerRow) * kGlyphSize + column;
  const std::size_t y = (code / kGlyphsPerRow) * kGlyphSize + row;
  return y * kSheetSide + x;
}

void AppendWritten(void* context, void* data, int size) {
  Bytes* bytes = static_cast<Bytes*>(context);
  const std::uint8_t* start = static_cast<const std::uint8_t*>(data);
  bytes->insert(bytes->end(), start, start + size);
}

}  // namespace

bool LooksLikePng(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= kPngSignature.size() &&
         std::equal(kPngSignature.begin(), kPngSignature.end(), bytes.begin());
}

std::string ReadPngSheet(std::span<const std::uint8_t> bytes, FontImage* font) {
  if (bytes.size() > INT_MAX)
    return std::string(kUnreadable);
  std::string problem = CheckChunks(bytes);
  if (!problem.empty())
    return problem;
  std::vector<std::uint64_t> colours;
  if (!ReadColours(bytes, &colours))
    return std::string(kUnreadable);

  const std::uint64_t background = MostCommon(colours);
  font->fill(0);
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    for (std::size_t row = 0; row < kGlyphSize; ++row) {
      for (std::size_t column = 0; column < kGlyphSize; ++column) {
        if (colours[PixelIndex(code, row, column)] != background)
          SetInk(font, code, row, column);
      }
    }
  }
  return std::string();
}

// Eight-bit grey, ink black on white.
Bytes WritePngSheet(const FontImage& font) {
  std::vector<std::uint8_t> pixels(kSheetPixels, kWrittenBackground);
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    for (std::size_t row = 0; row < kGlyphSize; ++row) {
      for (std::size_t column = 0; column < kGlyphSize; ++column) {
        if (IsInk(font, code, row, column))
          pixels[PixelIndex(code, row, column)] = kWrittenInk;
      }
    }
  }
  Bytes bytes;
  PngWrite(AppendWritten, &bytes, kSheetSide, kSheetSide, 1, pixels.data());
  return bytes;
}

}  // namespace mdlReplace
