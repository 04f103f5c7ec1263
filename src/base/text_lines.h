// Text files read a line at a time, in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace mdlReplace {

// Lines within a message are parted as on the game's own system.
constexpr std::string_view kLineBreak = "\r\n";

// Reads a text file a line at a time, each line a view into the bytes,
// without its line end or trailing blanks, and without a UTF-8 byte-order
// mark before the first: however many lines a file has, none is copied. A
// line ends at a line feed, a carriage return (as old Macs saved text), or
// the two, as --check counts lines.
class LineReader {
 public:
  explicit LineReader(std::span<const std::uint8_t> bytes);

  // The next line; false after the last.
  bool Next(std::string_view* line);
  // The number of the line Next gave last, counting from 1.
  std::size_t number() const { return number_; }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t number_ = 0;
};

// The first line of the bytes that holds more than blanks; empty if none.
std::string_view FirstTextLine(std::span<const std::uint8_t> bytes);

// The blank-separated words of a line, as views into it: the first most
// of them, so that a line of millions of words takes no more memory than
// a reader wants of it.
std::vector<std::string_view> Words(std::string_view line,
                                    std::size_t most = SIZE_MAX);

// The first blank-separated word of a line; empty where it has none.
std::string_view FirstWord(std::string_view line);

}  // namespace mdlReplace
