// Fonts in the formats font makers use, and back: pure functions from bytes
// to a font and from a font to bytes, with no file in sight.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fonts/font.h"

namespace mdlReplace {

using Bytes = std::vector<std::uint8_t>;

enum class FontFormat { Raw, Psf, Bdf, Png, Text };

// No font file, compressed or not, is longer: a longer one is no font.
constexpr std::size_t kLargestFontFile = std::size_t{16} * 1024 * 1024;

// The formats a destination may name, as a message lists them.
constexpr std::string_view kFormatExtensions =
    ".fnt, .f08, .bin, .psf, .bdf, .png or .txt";

// The format the file name's extension names, in any case; false for any
// other extension.
bool FormatOfExtension(std::string_view file_name, FontFormat* format);

Bytes WriteFont(const FontImage& font, FontFormat format);

// Reads a font from a file's bytes, whichever format they are in: PSF (also
// gzip-compressed), BDF, a PNG font sheet, the program's text format, or 2048
// bytes of raw font. A file of 2048 bytes whose name ends with the extension
// of a raw font is one, whatever its bytes; any other is read by what it
// begins like. Returns an empty string, or what is wrong with the file,
// worded to follow its name ("is not a 128x128 font sheet.").
std::string ReadFont(std::string_view file_name,
                     std::span<const std::uint8_t> bytes, FontImage* font);

// Whether the bytes begin as a PSF, BDF, PNG, gzip or text font file does:
// their header, taken for glyphs, would make no font. The first 2048 bytes
// of a file tell.
bool BeginsLikeOtherFormat(std::span<const std::uint8_t> bytes);

}  // namespace mdlReplace
