#include "front/usage.h"

#include <algorithm>
#include <string_view>

#include "fonts/registry.h"

namespace mdlReplace {

namespace {

// Before the list of formats.
constexpr std::string_view kUsage =
    "Usage: zyr2font                     patch the game in the current folder\n"
    "       zyr2font GAME_FOLDER         with GAME_FOLDER/ZYR2.FNT\n"
    "       zyr2font FONT GAME_FOLDER    with the font file FONT\n"
    "       zyr2font FONT                the game beside this program, with\n"
    "                                    FONT (a font dropped on it)\n"
    "       zyr2font /A:FONT             attach FONT to this program\n"
    "       zyr2font --show [--codepage N] SOURCE\n"
    "                                    print the 256 glyphs of a font\n"
    "       zyr2font --convert [--codepage N] SOURCE DEST\n"
    "                                    write the font of SOURCE to DEST\n"
    "       zyr2font --merge [--codepage N] BASE OTHER DEST [--codes CODES]\n"
    "                                    write BASE to DEST with the glyphs\n"
    "                                    of OTHER at CODES (0x80-0xAF,0xE0),\n"
    "                                    or where BASE is blank\n"
    "       zyr2font --convert [--codepage N] SOURCE DEST --codes CODES\n"
    "               --width W            write the block of glyphs at CODES\n"
    "                                    to DEST (.png or .txt) as one\n"
    "                                    picture, W glyphs across\n"
    "       zyr2font --merge [--codepage N] BASE PICTURE DEST --codes CODES\n"
    "               --width W            write BASE to DEST with the block\n"
    "                                    at CODES drawn as PICTURE\n"
    "       zyr2font --check [--codepage N] [--all] FONT TEXT...\n"
    "                                    tell which characters of the texts\n"
    "                                    FONT cannot draw\n"
    "\n"
    "Writes an 8x8 font of 2048 bytes into ZYR2.DOS, ZYR2.EXE and BRANVEL.EXE\n"
    "in the game folder, each file recognised by its exact length. Without\n"
    "arguments the font is ZYR2.FNT in the current folder, or else the one\n"
    "attached to this program.\n"
    "\n"
    "SOURCE is a game file, a program carrying a font, or a font file in one\n"
    "of these formats, told by its content, and in any of them compressed by\n"
    "gzip (.gz); FONT may be any of these too. Code page N places the glyphs\n"
    "of those marked *, as told below.\n";

constexpr std::string_view kWritten =
    "\n"
    "DEST is written in the format its extension names:\n"
    "  ";

// After the list of formats and the extensions of those written.
constexpr std::string_view kUsageEnd =
    ".\n"
    "A .ttf is a TrueType font whose outlines are the font's pixels, to type\n"
    "in any editor as the game draws it (at 8 or 16 pixels); a .otb is its\n"
    "8-pixel bitmap font. Both, like a .bdf, have each glyph at its\n"
    "character in code page N (without --codepage, the font's own where it\n"
    "names one, as a .cp file does, else 437), and are named for DEST.\n"
    "\n"
    "The game shows each letter by its code, 0 to 255, in the code page of\n"
    "its language. A TrueType, hex or Windows font says which letter each\n"
    "glyph is, so its glyphs go to the codes of code page N: 437 (the PC's\n"
    "own, the default), 737 (Greek), 775 (Baltic), 850 (Western Europe),\n"
    "852 (Central Europe), 855 or 866 (Cyrillic), 857 (Turkish), 860, 861,\n"
    "862 (Hebrew), 863, 864 (Arabic), 865, 869 (Greek), or the Windows code\n"
    "pages 1250 to 1258. A BDF or PCF font of Unicode is placed by it too\n"
    "(the BDF that --convert writes is one), and with --codepage, or\n"
    "written as a .bdf, .ttf or .otb, a PSF font with a Unicode table.\n"
    "Letters the font lacks stay blank, and the count of codes that got one\n"
    "is shown.\n"
    "\n"
    "A block's glyphs go in the order CODES gives them, W to a row of the\n"
    "picture, each row below the last: the picture is W*8 pixels wide and\n"
    "8 high for each row, the last row's cells past the last code paper.\n"
    "PICTURE is a PNG, BMP or GIF of that size, or magnified up to 8 times,\n"
    "read as a sheet is: its most common colour is paper, any other ink.\n"
    "No code may stand twice in a block.\n"
    "\n"
    "--check reads each TEXT as UTF-8 and lists the characters code page N\n"
    "lacks and those whose glyph in FONT is blank, the most used first, 20\n"
    "of each unless --all is given, each with where it is first used\n"
    "(FILE:LINE:COLUMN), and a code page that has more of them.\n"
    "\n"
    "Exit status: 0 when at least one game file was patched or the command\n"
    "did its work, 1 after any message that ends the run, and after --check\n"
    "when a character cannot be drawn.\n";

// The formats' columns of names and of extensions, so wide that the
// widest fits.
constexpr std::size_t kNameColumn = 10;
constexpr std::size_t kExtensionsColumn = 16;

std::string Padded(std::string text, std::size_t width) {
  text.resize(std::max(width, text.size() + 1), ' ');
  return text;
}

// "  PSF       .psf            * a Linux console font"
std::string FormatLine(const FormatRow& row) {
  std::string extensions;
  for (std::string_view extension : row.extensions) {
    if (!extension.empty())
      extensions += (extensions.empty() ? "" : " ") + std::string(extension);
  }
  return "  " + Padded(std::string(row.name), kNameColumn) +
         Padded(extensions, kExtensionsColumn) +
         (row.placed_by_code_page ? "* " : "  ") + std::string(row.help) + "\n";
}

}  // namespace

std::string Usage() {
  std::string usage(kUsage);
  for (const FormatRow& row : FontFormats())
    usage += FormatLine(row);
  return usage + std::string(kWritten) + WritableExtensions() +
         std::string(kUsageEnd);
}

}  // namespace mdlReplace
