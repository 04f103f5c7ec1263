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

// Every format the program reads, each a row of the table in registry.h.
enum class FontFormat {
  Raw,
  Psf,
  Bdf,
  Pcf,
  TrueType,
  Windows,
  Cpi,
  Png,
  Bmp,
  Gif,
  Hex,
  Text
};

// No font file, compressed or not, is longer: a longer one is no font.
constexpr std::size_t kLargestFontFile = std::size_t{16} * 1024 * 1024;

// The format a font can be written in that the file name's extension
// names, in any case; false for any other extension.
bool FormatOfExtension(std::string_view file_name, FontFormat* format);

struct CodePage;

// A glyph's width and height, in pixels.
struct GlyphSize {
  std::int64_t width = 0;
  std::int64_t height = 0;
};

// The font in a format that is written (a format read alone gives the raw
// font). A BDF is keyed by Unicode, each code's glyph at its character in
// the code page (437 where none is given).
Bytes WriteFont(const FontImage& font, FontFormat format,
                const CodePage* code_page = nullptr,
                std::string_view file_name = {});

// The code page by which a font's glyphs are placed among the game's codes.
// Fonts keyed by characters (TrueType, hex) or by another code page (a
// Windows font) always are, by the code page named or else 437. Fonts whose
// glyphs have codes of their own keep them, unless a code page is named and
// the font tells its glyphs' characters too (a PSF with a Unicode table, a
// BDF or PCF font of ISO10646, or of a character set that is a code page
// the program has).
struct CodePageUse {
  const CodePage* named = nullptr;  // by the user; null for none
  // A code page the user named by a number the program has no table of:
  // a code page font file's font is taken by it, but no glyph keyed by a
  // character can be placed by it.
  int named_without_table = 0;
  // What the reading did: the code page the glyphs were placed by (null
  // when they kept their codes), and how many codes got a glyph by it.
  const CodePage* used = nullptr;
  std::size_t codes_with_glyph = 0;
  // The size of the font's glyphs where they were smaller than 8x8, and
  // placed in 8x8 cells; 0x0 for glyphs of 8x8.
  GlyphSize smaller = {};
  // Whether glyphs keyed by characters were to be placed by the code page
  // named without a table: the font is refused.
  bool lacked_table = false;
  // Where no code page is named, a font that tells its own is placed by it
  // (as --check reads one), rather than keeping its codes or going by 437.
  bool by_own = false;
  // The code page a font tells it is made for, where the program has it: a
  // code page font file's, a PSF whose Unicode table draws its characters
  // at their codes, a BDF or PCF of its character set (CP1251). Null where
  // the font tells none.
  const CodePage* own = nullptr;
  // A character set a BDF or PCF font names, or the code page a code page
  // file's font is of, that the program has no table of ("KOI8-R", "code
  // page 161"); empty where it names none, or one the program has.
  std::string own_charset{};
};

// The code page a font goes by, decided here alone for the check, the
// conversion and the page: the one the user named, else the one the font
// tells it is made for, else 437. A check reads its texts in it, and a BDF
// or TrueType font written of the font is keyed by it.
const CodePage& CodePageToGoBy(const CodePageUse& use);

// Why a font not placed by a code page the user named goes by the one it
// goes by, to follow "... code page N": ", the font's own.", ": the font
// is of KOI8-R, which this program has no table of." or ": the font names
// no code page of its own."
std::string WhyCodePageGoneBy(const CodePageUse& use);

// Reads a font from a file's bytes, whichever format they are in: PSF (also
// gzip-compressed), BDF, PCF, TrueType, a Windows FNT or FON font, a hex
// font, a PNG, BMP or GIF font sheet, the program's text format, or 2048
// bytes of raw font. A file of 2048 bytes whose name ends with the extension
// of a raw font is one, whatever its bytes; any other is read by what it
// begins like. Returns an empty string, or what is wrong with the file,
// worded to follow its name ("is not a 128x128 font sheet.").
std::string ReadFont(std::string_view file_name,
                     std::span<const std::uint8_t> bytes, CodePageUse* use,
                     FontImage* font);
// The same, with no code page named.
std::string ReadFont(std::string_view file_name,
                     std::span<const std::uint8_t> bytes, FontImage* font);

// Whether the bytes of a whole file are, by their content, a font file of a
// format the program reads: what ReadFont would read as one, not take for
// a raw font.
bool BeginsLikeOtherFormat(std::span<const std::uint8_t> bytes);

}  // namespace mdlReplace
