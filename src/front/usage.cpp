#include "front/usage.h"

namespace mdlReplace {

namespace {

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
    "\n"
    "Writes an 8x8 font of 2048 bytes into ZYR2.DOS, ZYR2.EXE and BRANVEL.EXE\n"
    "in the game folder, each file recognised by its exact length. Without\n"
    "arguments the font is ZYR2.FNT in the current folder, or else the one\n"
    "attached to this program.\n"
    "\n"
    "SOURCE is a game file, a program carrying a font, a PSF font (also\n"
    ".psf.gz), a BDF or PCF font, a TrueType font drawn on a grid of 8\n"
    "pixels or with an 8x8 bitmap strike, an OpenType bitmap font (.otb), a\n"
    "DOS .cpi or kbd .cp code page file (the 8x8 font of code page N, or its\n"
    "only one), a Windows .fnt or .fon font, a hex font, a 128x128 PNG, BMP "
    "or\n"
    "GIF font sheet (or one magnified up to 8 times), a text font as\n"
    "--convert writes it, or a raw font of 2048 bytes. FONT may be any of\n"
    "these too. The extension of DEST names its format: .fnt, .f08 or .bin\n"
    "(raw), .psf, .bdf, .png or .txt.\n"
    "\n"
    "The game shows each letter by its code, 0 to 255, in the code page of\n"
    "its language. A TrueType, hex or Windows font says which letter each\n"
    "glyph is, so its glyphs go to the codes of code page N: 437 (the PC's\n"
    "own, the default), 737 (Greek), 775 (Baltic), 850 (Western Europe),\n"
    "852 (Central Europe), 855 or 866 (Cyrillic), 857 (Turkish), 860, 861,\n"
    "862 (Hebrew), 863, 864 (Arabic), 865, 869 (Greek), or the Windows code\n"
    "pages 1250 to 1258. A BDF or PCF font of Unicode is placed by it too\n"
    "(the BDF that --convert writes is one), and with --codepage a PSF\n"
    "font with a Unicode table. Letters the font lacks stay blank, and the\n"
    "count of codes that got one is shown.\n"
    "\n"
    "Exit status: 0 when at least one game file was patched or the command\n"
    "did its work, 1 after any message.\n";

}  // namespace

std::string Usage() {
  return std::string(kUsage);
}

}  // namespace mdlReplace
