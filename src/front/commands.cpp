#include "front/commands.h"

#include <algorithm>
#include <string_view>

#include "fonts/drawing.h"
#include "fonts/formats.h"
#include "front/font_source.h"
#include "front/run.h"
#include "front/version.h"
#include "platform/names.h"
#include "platform/replace_file.h"
#include "platform/show_error.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kUsage =
    "Usage: zyr2font                     patch the game in the current folder\n"
    "       zyr2font GAME_FOLDER         with GAME_FOLDER/ZYR2.FNT\n"
    "       zyr2font FONT GAME_FOLDER    with the font file FONT\n"
    "       zyr2font /A:FONT             attach FONT to this program\n"
    "       zyr2font --show SOURCE       print the 256 glyphs of a font\n"
    "       zyr2font --convert SOURCE DEST\n"
    "                                    write the font of SOURCE to DEST\n"
    "\n"
    "Writes an 8x8 font of 2048 bytes into ZYR2.DOS, ZYR2.EXE and BRANVEL.EXE\n"
    "in the game folder, each file recognised by its exact length. Without\n"
    "arguments the font is ZYR2.FNT in the current folder, or else the one\n"
    "attached to this program.\n"
    "\n"
    "SOURCE is a game file, a program carrying a font, a PSF font (also\n"
    ".psf.gz), a BDF font, a 128x128 PNG font sheet, a text font as\n"
    "--convert writes it, or a raw font of 2048 bytes. FONT may be any of\n"
    "these too. The extension of DEST names its format: .fnt, .f08 or .bin\n"
    "(raw), .psf, .bdf, .png or .txt.\n"
    "\n"
    "Exit status: 0 when at least one game file was patched or the command\n"
    "did its work, 1 after any message.\n";

constexpr std::string_view kShowTakesOne =
    "--show takes one file: zyr2font --show SOURCE";
constexpr std::string_view kConvertTakesTwo =
    "--convert takes two files: zyr2font --convert SOURCE DEST";

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

// Reads the font of the source, or shows why there is none.
bool ReadSourceFont(Platform& platform, const std::string& path,
                    FontImage* font) {
  switch (ReadFontSource(platform, path, SourceUse::Tool, font)) {
    case FontLoad::Loaded:
      return true;
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
int Show(Platform& platform, const std::string& source) {
  FontImage font{};
  if (!ReadSourceFont(platform, source, &font))
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
int Convert(Platform& platform, const std::string& source,
            const std::string& destination) {
  FontFormat format = FontFormat::Raw;
  if (!FormatOfExtension(destination, &format))
    return EndWithError(platform, NoFormat(destination));
  FontImage font{};
  if (!ReadSourceFont(platform, source, &font))
    return kExitFailure;
  const Bytes bytes = WriteFont(font, format);
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

}  // namespace

int RunCommand(Platform& platform, const std::vector<std::string>& arguments) {
  const std::string& command = arguments.front();
  const bool alone = arguments.size() == 1;
  if (command == "--help" || command == "-h")
    return alone ? Print(platform, kUsage)
                 : EndWithError(platform, TakesNoFile(command));
  if (command == "--version")
    return alone ? Print(platform, std::string("zyr2font ") +
                                       std::string(kVersion) + "\n")
                 : EndWithError(platform, TakesNoFile(command));
  if (command == "--show") {
    return arguments.size() == 2 ? Show(platform, arguments[1])
                                 : EndWithError(platform, kShowTakesOne);
  }
  if (command == "--convert") {
    return arguments.size() == 3 ? Convert(platform, arguments[1], arguments[2])
                                 : EndWithError(platform, kConvertTakesTwo);
  }
  return EndWithError(platform, UnknownCommand(command));
}

}  // namespace mdlReplace
