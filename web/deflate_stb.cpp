// The deflate format for the page, where there is no zlib: stb's own
// decoder, which the PNG reader already carries, does what zlib does for
// the program. Messages and limits are the same; stb does not check a zlib
// stream's own checksum (PNG chunks keep their CRC check).
#include <memory>
#include <vector>

#include "fonts/codecs.h"
#include "fonts/deflate.h"
#include "fonts/stb_image.h"

namespace mdlReplace {

namespace {

// gzip's header: its flags, and the fields they add.
constexpr std::size_t kHeaderSize = 10;
constexpr std::uint8_t kHeaderCrc = 0x02;
constexpr std::uint8_t kExtra = 0x04;
constexpr std::uint8_t kName = 0x08;
constexpr std::uint8_t kComment = 0x10;

// Skips a text ended by a zero byte.
void SkipText(ByteReader* reader) {
  while (reader->ok() && reader->U8() != 0) {
  }
}

// The deflate data of the member that begins at the reader: where it
// starts, once the header is read; false when the header ends early.
bool SkipHeader(ByteReader* reader) {
  reader->Skip(3);
  const std::uint8_t flags = reader->U8();
  reader->Skip(kHeaderSize - 4);
  if ((flags & kExtra) != 0)
    reader->Skip(reader->U16());
  if ((flags & kName) != 0)
    SkipText(reader);
  if ((flags & kComment) != 0)
    SkipText(reader);
  if ((flags & kHeaderCrc) != 0)
    reader->Skip(2);
  return reader->ok();
}

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  return ImageCrc32(bytes.data(), static_cast<int>(bytes.size()));
}

struct ZlibStreamCheck::State {
  std::size_t limit;
  Bytes data;
};

ZlibStreamCheck::ZlibStreamCheck(std::size_t limit)
    : state_(new State{limit, {}}) {}

ZlibStreamCheck::~ZlibStreamCheck() = default;

void ZlibStreamCheck::Add(std::span<const std::uint8_t> data) {
  state_->data.insert(state_->data.end(), data.begin(), data.end());
}

bool ZlibStreamCheck::Sound() const {
  // Room for all the stream may make, left as it comes: only its end
  // within the limit is checked.
  const std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[state_->limit]);
  return ImageInflate(out.get(), static_cast<int>(state_->limit),
                      state_->data.data(),
                      static_cast<int>(state_->data.size())) >= 0;
}

// Every member, one after the other; each one's size and CRC checked.
std::string Gunzip(std::span<const std::uint8_t> bytes, std::size_t limit,
                   Bytes* content) {
  content->clear();
  ByteReader reader(bytes);
  // Room for a member as large as the limit, left as it comes.
  const std::unique_ptr<std::uint8_t[]> piece(new std::uint8_t[limit]);
  while (reader.at() < bytes.size()) {
    const std::span<const std::uint8_t> rest = bytes.subspan(reader.at());
    if (!LooksLikeGzip(rest))
      return std::string(kGzipTrailing);
    if (!SkipHeader(&reader))
      return std::string(kGzipDamaged);
    const std::span<const std::uint8_t> data = bytes.subspan(reader.at());
    int consumed = 0;
    const int made =
        ImageInflateRaw(piece.get(), static_cast<int>(limit), data.data(),
                        static_cast<int>(data.size()), &consumed);
    if (made == -2)
      return std::string(kGzipTooLarge);
    if (made < 0 || consumed < 0)
      return std::string(kGzipDamaged);
    const std::span<const std::uint8_t> made_bytes(
        piece.get(), static_cast<std::size_t>(made));
    reader.Skip(static_cast<std::size_t>(consumed));
    const std::uint32_t crc = reader.U32();
    const std::uint32_t size = reader.U32();
    if (!reader.ok() || crc != Crc32(made_bytes) ||
        size != static_cast<std::uint32_t>(made))
      return std::string(kGzipDamaged);
    if (content->size() + made_bytes.size() > limit)
      return std::string(kGzipTooLarge);
    content->insert(content->end(), made_bytes.begin(), made_bytes.end());
  }
  return std::string();
}

}  // namespace mdlReplace
