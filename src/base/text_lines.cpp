#include "base/text_lines.h"

#include <algorithm>
#include <array>

namespace mdlReplace {

namespace {

constexpr std::array<std::uint8_t, 3> kByteOrderMark = {0xEF, 0xBB, 0xBF};

std::span<const std::uint8_t> WithoutByteOrderMark(
    std::span<const std::uint8_t> bytes) {
  if (bytes.size() >= kByteOrderMark.size() &&
      std::equal(kByteOrderMark.begin(), kByteOrderMark.end(), bytes.begin()))
    return bytes.subspan(kByteOrderMark.size());
  return bytes;
}

}  // namespace

LineReader::LineReader(std::span<const std::uint8_t> bytes) {
  const std::span<const std::uint8_t> text = WithoutByteOrderMark(bytes);
  text_ =
      std::string_view(reinterpret_cast<const char*>(text.data()), text.size());
}

bool LineReader::Next(std::string_view* line) {
  if (at_ > text_.size())
    return false;
  std::size_t end = text_.find_first_of("\r\n", at_);
  if (end == std::string_view::npos)
    end = text_.size();
  std::string_view found = text_.substr(at_, end - at_);
  while (!found.empty() && (found.back() == ' ' || found.back() == '\t'))
    found.remove_suffix(1);
  *line = found;
  // A carriage return and the line feed after it end one line.
  const bool crlf =
      end + 1 < text_.size() && text_[end] == '\r' && text_[end + 1] == '\n';
  at_ = end + (crlf ? 2 : 1);
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

std::vector<std::string_view> Words(std::string_view line, std::size_t most) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (words.size() < most &&
         (at = line.find_first_not_of(" \t", at)) != std::string_view::npos) {
    const std::size_t end =
        std::min(line.find_first_of(" \t", at), line.size());
    words.push_back(line.substr(at, end - at));
    at = end;
  }
  return words;
}

std::string_view FirstWord(std::string_view line) {
  const std::vector<std::string_view> first = Words(line, 1);
  return first.empty() ? std::string_view() : first[0];
}

}  // namespace mdlReplace
