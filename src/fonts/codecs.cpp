// What the readers share: numbers, hex digits and lines of text.
#include <algorithm>
#include <array>

#include "fonts/codecs.h"
#include "platform/names.h"

namespace mdlReplace {

namespace {

constexpr std::array<std::uint8_t, 3> kByteOrderMark = {0xEF, 0xBB, 0xBF};
constexpr std::string_view kHexDigits = "0123456789ABCDEF";
// The two bytes of every gzip file, and deflate, its only method.
constexpr std::array<std::uint8_t, 3> kGzipStart = {0x1F, 0x8B, 0x08};

std::span<const std::uint8_t> WithoutByteOrderMark(
    std::span<const std::uint8_t> bytes) {
  if (bytes.size() >= kByteOrderMark.size() &&
      std::equal(kByteOrderMark.begin(), kByteOrderMark.end(), bytes.begin()))
    return bytes.subspan(kByteOrderMark.size());
  return bytes;
}

}  // namespace

bool BeginsWith(std::span<const std::uint8_t> bytes,
                std::span<const std::uint8_t> prefix) {
  return bytes.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

bool LooksLikeGzip(std::span<const std::uint8_t> bytes) {
  return BeginsWith(bytes, kGzipStart);
}

std::uint16_t Little16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t Little32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) |
         static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint32_t Big32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) << 24 |
         static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
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

std::string NoGlyphAtAnyCode(std::string_view reason) {
  return "has no glyph at any of the 256 codes (" + std::string(reason) + ").";
}

std::string NotEightByEight(std::string_view kind, std::int64_t width,
                            std::int64_t height) {
  return "is a " + std::string(kind) + " font of " + std::to_string(width) +
         "x" + std::to_string(height) + " glyphs, not 8x8.";
}

bool AllHexDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return HexDigitValue(c) >= 0; });
}

int HexDigitValue(char c) {
  const std::size_t at = kHexDigits.find(AsciiUpper(c));
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

std::string HexByte(std::size_t value) {
  std::string hex(2, '0');
  hex[0] = kHexDigits[(value >> 4) & 0xF];
  hex[1] = kHexDigits[value & 0xF];
  return hex;
}

std::string UnicodeName(char32_t character) {
  std::string name = "U+";
  for (int shift = character > 0xFFFF ? 16 : 8; shift >= 0; shift -= 8)
    name += HexByte(character >> shift & 0xFF);
  return name;
}

LineReader::LineReader(std::span<const std::uint8_t> bytes) {
  const std::span<const std::uint8_t> text = WithoutByteOrderMark(bytes);
  text_ =
      std::string_view(reinterpret_cast<const char*>(text.data()), text.size());
}

bool LineReader::Next(std::string_view* line) {
  if (at_ > text_.size())
    return false;
  std::size_t end = text_.find('\n', at_);
  if (end == std::string_view::npos)
    end = text_.size();
  std::string_view found = text_.substr(at_, end - at_);
  while (!found.empty() &&
         (found.back() == '\r' || found.back() == ' ' || found.back() == '\t'))
    found.remove_suffix(1);
  *line = found;
  at_ = end + 1;
  ++number_;
  return true;
}

std::string_view FirstTextLine(std::span<const std::uint8_t> bytes) {
  LineReader lines(bytes);
  std::string_view line;
  while (lines.Next(&line)) {
    if (line.find_first_not_of(" \t") != std::string_view::npos)
      return line;
  }
  return std::string_view();
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while ((at = line.find_first_not_of(" \t", at)) != std::string_view::npos) {
    const std::size_t end =
        std::min(line.find_first_of(" \t", at), line.size());
    words.push_back(line.substr(at, end - at));
    at = end;
  }
  return words;
}

}  // namespace mdlReplace
