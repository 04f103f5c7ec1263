// Each format's reader and writer, for formats.cpp. A reader returns an
// empty string, or what is wrong with the bytes, worded to follow the file's
// name.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "fonts/formats.h"

namespace mdlReplace {

bool LooksLikePsf(std::span<const std::uint8_t> bytes);
std::string ReadPsf(std::span<const std::uint8_t> bytes, FontImage* font);
Bytes WritePsf(const FontImage& font);

bool LooksLikeBdf(std::span<const std::uint8_t> bytes);
std::string ReadBdf(std::span<const std::uint8_t> bytes, FontImage* font);
Bytes WriteBdf(const FontImage& font);

bool LooksLikePng(std::span<const std::uint8_t> bytes);
std::string ReadPngSheet(std::span<const std::uint8_t> bytes, FontImage* font);
Bytes WritePngSheet(const FontImage& font);

bool LooksLikeTextFont(std::span<const std::uint8_t> bytes);
std::string ReadTextFont(std::span<const std::uint8_t> bytes, FontImage* font);
Bytes WriteTextFont(const FontImage& font);

bool LooksLikeGzip(std::span<const std::uint8_t> bytes);
// The decompressed bytes, up to the limit; an empty string or what is wrong.
std::string Gunzip(std::span<const std::uint8_t> bytes, std::size_t limit,
                   Bytes* content);

// Two upper-case hex digits.
std::string HexByte(std::size_t value);

// The value of a hex digit in either case, or -1 for any other character.
int HexDigitValue(char c);

// Reads a text file a line at a time, each line a view into the bytes,
// without its line end or trailing blanks, and without a UTF-8 byte-order
// mark before the first: however many lines a file has, none is copied.
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

// The blank-separated words of a line, as views into it.
std::vector<std::string_view> Words(std::string_view line);

}  // namespace mdlReplace
