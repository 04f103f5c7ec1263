// gzip's and zlib's framing around deflate data, read alike by the program
// and the page: only the raw data between is inflated by each one's own
// decoder.
#include <array>

#include "fonts/codecs.h"
#include "fonts/deflate.h"

namespace mdlReplace {

namespace {

// gzip's member header: its flags, the fields they add, and the bits no
// gzip may set.
constexpr std::size_t kGzipHeaderSize = 10;
constexpr std::uint8_t kHeaderCrc = 0x02;
constexpr std::uint8_t kExtra = 0x04;
constexpr std::uint8_t kName = 0x08;
constexpr std::uint8_t kComment = 0x10;
constexpr std::uint8_t kReservedFlags = 0xE0;

// zlib's header: deflate, a window of at most 32 KiB, and no preset
// dictionary, which no PNG has.
constexpr std::uint8_t kDeflateMethod = 8;
constexpr std::uint8_t kLargestWindow = 7;  // 2^(7+8) bytes
constexpr std::uint8_t kPresetDictionary = 0x20;

// Skips a text ended by a zero byte.
void SkipText(ByteReader* reader) {
  while (reader->ok() && reader->U8() != 0) {
  }
}

// Reads the header of the member that begins at the reader, leaving it at
// the deflate data; false when the header is no sound one.
bool ReadGzipHeader(std::span<const std::uint8_t> bytes, ByteReader* reader) {
  const std::size_t start = reader->at();
  reader->Skip(3);
  const std::uint8_t flags = reader->U8();
  reader->Skip(kGzipHeaderSize - 4);
  if ((flags & kExtra) != 0)
    reader->Skip(reader->U16());
  if ((flags & kName) != 0)
    SkipText(reader);
  if ((flags & kComment) != 0)
    SkipText(reader);
  if ((flags & kHeaderCrc) != 0) {
    const std::span<const std::uint8_t> header =
        bytes.subspan(start, reader->at() - start);
    if (reader->U16() != (Crc32(header) & 0xFFFF))
      return false;
  }
  return reader->ok() && (flags & kReservedFlags) == 0;
}

}  // namespace

// Every member, one after the other, as zcat reads them, each one's CRC
// and length checked; bytes after the last member that begin no other are
// refused.
std::string Gunzip(std::span<const std::uint8_t> bytes, std::size_t limit,
                   Bytes* content) {
  content->clear();
  ByteReader reader(bytes);
  while (reader.at() < bytes.size()) {
    if (!LooksLikeGzip(bytes.subspan(reader.at())))
      return std::string(kGzipTrailing);
    if (!ReadGzipHeader(bytes, &reader))
      return std::string(kGzipDamaged);
    const std::size_t begins = content->size();
    std::size_t consumed = 0;
    switch (InflateRaw(bytes.subspan(reader.at()), limit - begins, content,
                       &consumed)) {
      case Inflated::Ended:
        break;
      case Inflated::TooLarge:
        return std::string(kGzipTooLarge);
      case Inflated::Damaged:
        return std::string(kGzipDamaged);
    }
    reader.Skip(consumed);
    const std::uint32_t crc = reader.U32();
    const std::uint32_t size = reader.U32();
    const std::span<const std::uint8_t> member =
        std::span<const std::uint8_t>(*content).subspan(begins);
    if (!reader.ok() || crc != Crc32(member) ||
        size != static_cast<std::uint32_t>(member.size()))
      return std::string(kGzipDamaged);
  }
  return std::string();
}

bool ZlibStreamSound(std::span<const std::uint8_t> stream, std::size_t limit) {
  if (stream.size() < 2)
    return false;
  const std::uint8_t method = stream[0];
  const std::uint8_t flags = stream[1];
  if ((method & 0x0F) != kDeflateMethod || (method >> 4) > kLargestWindow ||
      (method << 8 | flags) % 31 != 0 || (flags & kPresetDictionary) != 0)
    return false;
  Bytes image;
  std::size_t consumed = 0;
  if (InflateRaw(stream.subspan(2), limit, &image, &consumed) !=
      Inflated::Ended)
    return false;
  ByteReader trailer(stream.subspan(2 + consumed), /*big_endian=*/true);
  const std::uint32_t checksum = trailer.U32();
  return trailer.ok() && checksum == Adler32(image);
}

}  // namespace mdlReplace
