#include "front/commands.h"

#include <algorithm>
#include <string_view>

#include "base/names.h"
#include "fonts/code_pages.h"
#include "fonts/drawing.h"
#include "fonts/formats.h"
#include "fonts/glyph_edits.h"
#include "fonts/registry.h"
#include "front/block_commands.h"
#include "front/check_command.h"
#include "front/command_options.h"
#include "front/run_steps.h"
#include "front/tool_steps.h"
#include "front/usage.h"
#include "front/version.h"
#include "messages/show_error.h"
#include "source/font_source.h"

namespace mdlReplace {

namespace {

std::string NoTableToKey(const std::string& path, const CodePageUse& use) {
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

std::string NoFormat(const std::string& path) {
  return path + " does not end with an extension that names a font format: " +
         WritableExtensions() + ".";
}

// "g.bdf is keyed by code page 737, the font's own.": said where the user
// named none, since the file's characters are of one the user did not
// choose.
// Why a keyed destination is keyed by a code page the user did not name:
// it is the font's own, or 437 where the font is of a set or a code page
// the program has no table of; empty for a font that names none.
std::string KeyedUnnamed(const std::string& path, const CodePage& code_page,
                         const CodePageUse& use) {
  if (use.own == nullptr && use.own_charset.empty())
    return std::string();
  return path + " is keyed by code page " + std::to_string(code_page.number) +
         WhyCodePageGoneBy(use);
}

// A BDF and a TrueType font are keyed by characters.
bool IsKeyed(FontFormat format) {
  return format == FontFormat::Bdf || format == FontFormat::TrueType;
}

// A code page named without a table cannot key a font.
bool CanKey(FontFormat format, const CodePageUse& use) {
  return !IsKeyed(format) || use.named_without_table == 0;
}

// With no code page named, a font that tells its own is read by it for a
// destination keyed by characters, as --check and the page read it, so that
// the program and the page key the same font alike. A font shown or written
// by its codes keeps them: a PSF placed by its own code page's table would
// lose the glyphs of the codes the table gives no character (0x01-0x1F).
void GoByOwnUnlessNamed(FontFormat format, CodePageUse* use) {
  use->by_own =
      IsKeyed(format) && use->named == nullptr && use->named_without_table == 0;
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

// Only the font formats are written: a game file can never be overwritten
// this way.
int WriteDestination(Platform& platform, const std::string& destination,
                     FontFormat format, const FontImage& font,
                     const CodePage* code_page) {
  return WriteWhole(platform, destination,
                    WriteFont(font, format, code_page, destination));
}

int Convert(Platform& platform, const std::string& source,
            const std::string& destination, CodePageUse* code_pages) {
  FontFormat format = FontFormat::Raw;
  if (!FormatOfExtension(destination, &format))
    return EndWithError(platform, NoFormat(destination));
  if (!CanKey(format, *code_pages))
    return EndWithError(platform, NoTableToKey(destination, *code_pages));
  GoByOwnUnlessNamed(format, code_pages);
  FontImage font{};
  if (!ReadSourceFont(platform, source, code_pages, &font))
    return kExitFailure;
  const CodePage& key = CodePageToGoBy(*code_pages);
  const int written =
      WriteDestination(platform, destination, format, font, &key);
  if (written == kExitSuccess && IsKeyed(format) &&
      code_pages->named == nullptr)
    TellReading(platform, KeyedUnnamed(destination, key, *code_pages));
  return written;
}

// BASE's font with OTHER's glyphs at the codes asked for, or wherever BASE
// is blank and OTHER is not, or with the picture OTHER in the block that
// --codes and --width make, into DEST. Both are placed by the code page
// named, where they need one.
int Merge(Platform& platform, const ToolOptions& options) {
  const std::vector<std::string>& files = options.files;
  const CodePageUse& code_pages = options.code_pages;
  FontFormat format = FontFormat::Raw;
  if (!FormatOfExtension(files[2], &format))
    return EndWithError(platform, NoFormat(files[2]));
  if (!CanKey(format, code_pages))
    return EndWithError(platform, NoTableToKey(files[2], code_pages));
  CodePageUse base_pages = code_pages;
  CodePageUse other_pages = code_pages;
  FontImage base{};
  FontImage other{};
  if (!ReadSourceFont(platform, files[0], &base_pages, &base))
    return kExitFailure;
  if (options.width_given) {
    if (!PutPictureFile(platform, files[1], BlockOf(options), &base))
      return kExitFailure;
    return WriteDestination(platform, files[2], format, base, code_pages.named);
  }
  if (!ReadSourceFont(platform, files[1], &other_pages, &other))
    return kExitFailure;
  const CodeSet codes =
      options.codes_given ? options.codes : BlankInBase(base, other);
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
  const ToolForm* tool = FindTool(command);
  if (tool == nullptr)
    return EndWithError(platform, UnknownCommand(command));
  ToolOptions options;
  std::string problem =
      TakeOptions(*tool, std::span(arguments).subspan(1), &options);
  if (problem.empty())
    problem = WrongFiles(*tool, options);
  if (!problem.empty())
    return EndWithError(platform, problem);
  const std::vector<std::string>& files = options.files;
  if (command == "--check")
    return RunCheck(platform, files, &options.code_pages, options.all);
  if (command == "--show")
    return Show(platform, files[0], &options.code_pages);
  if (command == "--merge")
    return Merge(platform, options);
  if (options.width_given)
    return ConvertBlock(platform, options);
  return Convert(platform, files[0], files[1], &options.code_pages);
}

}  // namespace mdlReplace
