#include "front/commands.h"

#include <algorithm>
#include <string_view>

#include "fonts/drawing.h"
#include "fonts/formats.h"
#include "front/run.h"
#include "front/version.h"
#include "patcher/patcher.h"
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
    "--convert writes it, or a raw font of 2048 bytes. The extension of DEST\n"
    "names its format: .fnt, .f08 or .bin (raw), .psf, .bdf, .png or .txt.\n"
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

std::string NotFound(const std::string& path) {
  return path + " was not found.";
}

std::string Unreadable(const std::string& path) {
  return path + " could not be read.";
}

std::string NotWritten(const std::string& path) {
  return path + " could not be written.";
}

std::string NoFormat(const std::string& path) {
  return path + " does not end with an extension that names a font format: " +
         std::string(kFormatExtensions) + ".";
}

std::string TooLong(const std::string& path) {
  return path + " is too long to be an 8x8 font.";
}

// The font of the opened source, by what the file is: a game file, by its
// name; a program that carries a font; or a font file, by its content.
// Returns an empty string, or the message that says why there is none.
std::string FontOfSource(Platform& platform, const std::string& path,
                         const OpenedFile& file, FontImage* font) {
  if (const TargetFile* target = FindTargetFile(FileNameOf(path))) {
    const KnownVersion* version = FindVersion(*target, file.length);
    if (version == nullptr)
      return SizeMessage(*target, file.length);
    return platform.ReadAt(file.id, version->font_offset, *font)
               ? std::string()
               : Unreadable(path);
  }
  if (file.length >= kFontBlockSize) {
    FontBlock block{};
    if (!platform.ReadAt(file.id, file.length - kFontBlockSize, block))
      return Unreadable(path);
    if (FontOfBlock(block, font))
      return std::string();
  }
  if (file.length > kLargestFontFile)
    return TooLong(path);
  Bytes bytes(file.length);
  if (!platform.ReadAt(file.id, 0, bytes))
    return Unreadable(path);
  const std::string problem = ReadFont(bytes, font);
  return problem.empty() ? problem : path + " " + problem;
}

// Reads the font of the source, or shows why there is none.
bool ReadSourceFont(Platform& platform, const std::string& path,
                    FontImage* font) {
  const OpenedFile file = platform.Open(path, Naming::Exact, OpenMode::Read);
  if (file.found != Found::File) {
    ShowError(platform,
              file.found == Found::Absent ? NotFound(path) : Unreadable(path));
    return false;
  }
  std::string message = FontOfSource(platform, path, file, font);
  if (!platform.Close(file.id) && message.empty())
    message = Unreadable(path);
  if (!message.empty())
    ShowError(platform, message);
  return message.empty();
}

int Print(Platform& platform, std::string_view text) {
  return platform.PrintOutput(std::string(ErrorCaption), std::string(text))
             ? kExitSuccess
             : kExitFailure;
}

int Show(Platform& platform, const std::string& source) {
  FontImage font{};
  if (!ReadSourceFont(platform, source, &font))
    return kExitFailure;
  return Print(platform, DrawFont(font, platform.OutputDrawing()));
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
  if (!ReplaceFile(platform, destination, [&](FileId file) {
        return platform.WriteAt(file, 0, bytes) == bytes.size();
      }))
    return EndWithError(platform, NotWritten(destination));
  return kExitSuccess;
}

}  // namespace

int RunCommand(Platform& platform, const std::vector<std::string>& arguments) {
  const std::string& command = arguments.front();
  if (command == "--help" || command == "-h")
    return Print(platform, kUsage);
  if (command == "--version")
    return Print(platform,
                 std::string("zyr2font ") + std::string(kVersion) + "\n");
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
