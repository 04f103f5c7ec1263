#include "front/commands.h"

#include <algorithm>
#include <string_view>

#include "base/names.h"
#include "fonts/code_pages.h"
#include "fonts/drawing.h"
#include "fonts/formats.h"
#include "fonts/glyph_edits.h"
#include "front/font_source.h"
#include "front/run.h"
#include "front/version.h"
#include "platform/replace_file.h"
#include "platform/show_error.h"

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

constexpr std::string_view kShowTakesOne =
    "--show takes one file: zyr2font --show [--codepage N] SOURCE";
constexpr std::string_view kConvertTakesTwo =
    "--convert takes two files: zyr2font --convert [--codepage N] SOURCE "
    "DEST";
constexpr std::string_view kMergeTakesThree =
    "--merge takes three files: zyr2font --merge [--codepage N] BASE OTHER "
    "DEST [--codes CODES]";
constexpr std::string_view kCodesOnce =
    "--merge takes --codes once: zyr2font --merge [--codepage N] BASE OTHER "
    "DEST [--codes CODES]";
constexpr std::string_view kCodePageOption = "--codepage";
constexpr std::string_view kCodesOption = "--codes";
// Code pages have numbers of 16 bits.
constexpr int kLargestCodePage = 65535;

std::string MalformedCodes(const std::string& text) {
  const std::string given = text.empty() ? "" : ", not \"" + text + "\"";
  return "--codes takes codes from 0x00 to 0xFF and ranges of them, as "
         "0x80-0xAF,0xE0" +
         given + ".";
}

std::string UnknownCodePage(const std::string& text) {
  const std::string given = text.empty() ? "" : ", not \"" + text + "\"";
  return "--codepage takes the number of a code page" + given + ": " +
         CodePageNumbers() + ".";
}

std::string NoTableForBdf(const std::string& path, const CodePageUse& use) {
  return path +
         " is keyed by characters, and this program has no table of "
         "code page " +
         std::to_string(use.named_without_table) + " to key it by: it has " +
         CodePageNumbers() + ".";
}

std::string UnknownCommand(const std::string& command) {
  return command +
         " is not a command of this program; zyr2font --help "
         "lists them.";
}

constexpr std::string_view kOutputFailed = "The output could not be written.";

std::string TakesNoFile(const std::string& command) {
  return command + " takes no file: zyr2font " + command;
}

std::string NotFound(const std::string& path) {
  return path + " was not found.";
}

std::string NotWritten(const std::string& path) {
  return path + " could not be written.";
}

std::string LinkToNothing(const std::string& path) {
  return path + " is a symbolic link to a file that does not exist.";
}

std::string NoFormat(const std::string& path) {
  return path + " does not end with an extension that names a font format: " +
         std::string(kFormatExtensions) + ".";
}

// The code page a number names, written in decimal digits alone: one the
// program has a table of, or else only its number, by which a code page
// font file's font is still taken. False for any other text.
bool ParseCodePage(const std::string& text, CodePageUse* use) {
  if (text.empty() || text.size() > 5 ||
      text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  const int number = std::stoi(text);
  if (number == 0 || number > kLargestCodePage)
    return false;
  use->named = FindCodePage(number);
  use->named_without_table = use->named == nullptr ? number : 0;
  return true;
}

// A BDF is keyed by characters: a code page named without a table cannot
// key it.
bool KeysBdf(FontFormat format, const CodePageUse& use) {
  return format != FontFormat::Bdf || use.named_without_table == 0;
}

// Reads the font of the source, or shows why there is none. A font placed
// by a code page is told how many codes got a glyph, and one of smaller
// glyphs that they are placed in 8x8 cells: information, not a failure.
bool ReadSourceFont(Platform& platform, const std::string& path,
                    CodePageUse* code_pages, FontImage* font) {
  switch (ReadFontSource(platform, path, SourceUse::Tool, font, code_pages)) {
    case FontLoad::Loaded: {
      const std::string notice = ReadingNotice(path, *code_pages);
      if (!notice.empty())
        ShowNotice(platform, notice);
      return true;
    }
    case FontLoad::Absent:
      ShowError(platform, NotFound(path));
      break;
    case FontLoad::Failed:
      break;
  }
  return false;
}

// A reader that stops reading early (| head) has what it wanted; any other
// failure is told, where standard error can still take it.
int Print(Platform& platform, std::string_view text) {
  switch (platform.PrintOutput(std::string(ErrorCaption), std::string(text))) {
    case Output::Shown:
    case Output::ReaderGone:
      return kExitSuccess;
    case Output::Failed:
      break;
  }
  return EndWithError(platform, kOutputFailed);
}

// In a window where the platform has one (Windows, its output not
// redirected), else as text.
int Show(Platform& platform, const std::string& source,
         CodePageUse* code_pages) {
  FontImage font{};
  if (!ReadSourceFont(platform, source, code_pages, &font))
    return kExitFailure;
  const Drawing drawing = platform.OutputDrawing();
  const std::string title =
      std::string(FileNameOf(source)) + " - " + std::string(ErrorCaption);
  if (drawing == Drawing::Picture &&
      platform.ShowPicture(title, DrawFontPicture(font)))
    return kExitSuccess;
  return Print(platform, DrawFont(font, drawing));
}

// The destination is written whole beside itself and put in its place, so
// an existing file is replaced whole or stays as it was. Only the font
// formats are written: a game file can never be overwritten this way.
int WriteDestination(Platform& platform, const std::string& destination,
                     FontFormat format, const FontImage& font,
                     const CodePage* code_page) {
  const Bytes bytes = WriteFont(font, format, code_page);
  switch (ReplaceFile(platform, destination, [&](FileId file) {
    return platform.WriteAt(file, 0, bytes) == bytes.size();
  })) {
    case Replacement::Done:
      return kExitSuccess;
    case Replacement::DanglingLink:
      return EndWithError(platform, LinkToNothing(destination));
    case Replacement::NotAFile:
    case Replacement::Failed:
      break;
  }
  return EndWithError(platform, NotWritten(destination));
}

int Convert(Platform& platform, const std::string& source,
            const std::string& destination, CodePageUse* code_pages) {
  FontFormat format = FontFormat::Raw;
  if (!FormatOfExtension(destination, &format))
    return EndWithError(platform, NoFormat(destination));
  if (!KeysBdf(format, *code_pages))
    return EndWithError(platform, NoTableForBdf(destination, *code_pages));
  FontImage font{};
  if (!ReadSourceFont(platform, source, code_pages, &font))
    return kExitFailure;
  return WriteDestination(platform, destination, format, font,
                          code_pages->named);
}

// One code, 0x00 to 0xFF, in hexadecimal after 0x or in decimal.
bool ParseCode(const std::string& text, std::size_t* code) {
  const bool hex = text.size() > 2 && text.compare(0, 2, "0x") == 0;
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 3 ||
      digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") !=
          std::string::npos)
    return false;
  *code = std::stoul(digits, nullptr, hex ? 16 : 10);
  return *code < kGlyphCount;
}

// "0x80-0xAF,0xE0": codes and ranges of them, parted by commas.
bool ParseCodes(const std::string& text, CodeSet* codes) {
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string item = text.substr(start, comma - start);
    const std::size_t dash = item.find('-');
    std::size_t first = 0;
    std::size_t last = 0;
    if (!ParseCode(item.substr(0, dash), &first) ||
        !ParseCode(dash == std::string::npos ? item.substr(0, dash)
                                             : item.substr(dash + 1),
                   &last) ||
        last < first)
      return false;
    for (std::size_t code = first; code <= last; ++code)
      codes->set(code);
    start = comma + 1;
  }
  return true;
}

// BASE's font with OTHER's glyphs at the codes asked for, or wherever BASE
// is blank and OTHER is not, into DEST. Both are placed by the code page
// named, where they need one.
int Merge(Platform& platform, std::vector<std::string> files,
          const CodePageUse& code_pages) {
  // --codes and its codes, once, wherever they are given.
  CodeSet codes;
  bool codes_given = false;
  for (auto option = std::find(files.begin(), files.end(), kCodesOption);
       option != files.end();
       option = std::find(files.begin(), files.end(), kCodesOption)) {
    if (codes_given)
      return EndWithError(platform, kCodesOnce);
    if (option + 1 == files.end())
      return EndWithError(platform, MalformedCodes(""));
    const std::string text = *(option + 1);
    if (!ParseCodes(text, &codes))
      return EndWithError(platform, MalformedCodes(text));
    files.erase(option, option + 2);
    codes_given = true;
  }
  if (files.size() != 3)
    return EndWithError(platform, kMergeTakesThree);
  FontFormat format = FontFormat::Raw;
  if (!FormatOfExtension(files[2], &format))
    return EndWithError(platform, NoFormat(files[2]));
  if (!KeysBdf(format, code_pages))
    return EndWithError(platform, NoTableForBdf(files[2], code_pages));
  CodePageUse base_pages = code_pages;
  CodePageUse other_pages = code_pages;
  FontImage base{};
  FontImage other{};
  if (!ReadSourceFont(platform, files[0], &base_pages, &base) ||
      !ReadSourceFont(platform, files[1], &other_pages, &other))
    return kExitFailure;
  if (!codes_given)
    codes = BlankInBase(base, other);
  return WriteDestination(platform, files[2], format,
                          TakeGlyphs(base, other, codes), code_pages.named);
}

}  // namespace

int RunCommand(Platform& platform, const std::vector<std::string>& arguments) {
  const std::string& command = arguments.front();
  const bool alone = arguments.size() == 1;
  if (command == "--help")
    return alone ? Print(platform, kUsage)
                 : EndWithError(platform, TakesNoFile(command));
  if (command == "--version")
    return alone ? Print(platform, std::string("zyr2font ") +
                                       std::string(kVersion) + "\n")
                 : EndWithError(platform, TakesNoFile(command));
  if (command != "--show" && command != "--convert" && command != "--merge")
    return EndWithError(platform, UnknownCommand(command));
  // The font tools' files, after the code page if one is named.
  std::vector<std::string> files(arguments.begin() + 1, arguments.end());
  CodePageUse code_pages;
  if (!files.empty() && files.front() == kCodePageOption) {
    const std::string number = files.size() > 1 ? files[1] : std::string();
    if (!ParseCodePage(number, &code_pages))
      return EndWithError(platform, UnknownCodePage(number));
    files.erase(files.begin(), files.begin() + 2);
  }
  if (command == "--show") {
    return files.size() == 1 ? Show(platform, files[0], &code_pages)
                             : EndWithError(platform, kShowTakesOne);
  }
  if (command == "--merge")
    return Merge(platform, files, code_pages);
  return files.size() == 2 ? Convert(platform, files[0], files[1], &code_pages)
                           : EndWithError(platform, kConvertTakesTwo);
}

}  // namespace mdlReplace
