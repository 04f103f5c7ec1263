#include "front/commands.h"

#include <algorithm>
#include <string_view>

#include "base/names.h"
#include "fonts/code_pages.h"
#include "fonts/drawing.h"
#include "fonts/formats.h"
#include "fonts/glyph_edits.h"
#include "fonts/registry.h"
#include "front/check_command.h"
#include "front/command_options.h"
#include "front/run.h"
#include "front/tool_steps.h"
#include "front/usage.h"
#include "front/version.h"
#include "messages/show_error.h"
#include "platform/replace_file.h"
#include "source/font_source.h"

namespace mdlReplace {

namespace {

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

std::string TakesNoFile(const std::string& command) {
  return command + " takes no file: zyr2font " + command;
}

std::string NotWritten(const std::string& path) {
  return path + " could not be written.";
}

std::string LinkToNothing(const std::string& path) {
  return path + " is a symbolic link to a file that does not exist.";
}

std::string NoFormat(const std::string& path) {
  return path + " does not end with an extension that names a font format: " +
         WritableExtensions() + ".";
}

// A BDF is keyed by characters: a code page named without a table cannot
// key it.
bool KeysBdf(FontFormat format, const CodePageUse& use) {
  return format != FontFormat::Bdf || use.named_without_table == 0;
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
    return alone ? Print(platform, Usage())
                 : EndWithError(platform, TakesNoFile(command));
  if (command == "--version")
    return alone ? Print(platform, std::string("zyr2font ") +
                                       std::string(kVersion) + "\n")
                 : EndWithError(platform, TakesNoFile(command));
  if (command != "--show" && command != "--convert" && command != "--merge" &&
      command != "--check")
    return EndWithError(platform, UnknownCommand(command));
  // The font tools' files, after the code page if one is named, and
  // --check's --all before or after it.
  std::vector<std::string> files(arguments.begin() + 1, arguments.end());
  const bool checks = command == "--check";
  bool all = checks && TakeOption(&files, kAllOption);
  CodePageUse code_pages;
  if (!files.empty() && files.front() == kCodePageOption) {
    const std::string number = files.size() > 1 ? files[1] : std::string();
    if (!ParseCodePage(number, &code_pages))
      return EndWithError(platform, UnknownCodePage(number));
    files.erase(files.begin(), files.begin() + 2);
  }
  if (checks) {
    all = TakeOption(&files, kAllOption) || all;
    return RunCheck(platform, files, &code_pages, all);
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
