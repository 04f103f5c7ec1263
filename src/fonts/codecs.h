// Each format's reader and writer, for formats.cpp. A reader returns an
// empty string, or what is wrong with the bytes, worded to follow the file's
// name.
#pragma once

#include <span>
#include <string>

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

// The lines of a text file, without their line ends or trailing blanks, and
// without a UTF-8 byte-order mark before the first.
std::vector<std::string> TextLines(std::span<const std::uint8_t> bytes);

}  // namespace mdlReplace
