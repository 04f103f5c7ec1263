#include "front/run.h"

#include <exception>
#include <string>
#include <vector>

#include "attached/attached_font.h"
#include "front/administrator.h"
#include "front/commands.h"
#include "front/drop.h"
#include "front/parser.h"
#include "messages/show_error.h"
#include "patcher/patcher.h"
#include "source/font_source.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kCommandPrefix = "--";
constexpr char kQuote = '"';

int RunRequested(Platform& platform) {
  // A text that begins with "--" names one of the program's own commands,
  // on every platform; any other is a patch run's, as the parser reads it.
  std::string text = platform.ArgumentText();
  if (text.starts_with(kCommandPrefix)) {
    const std::vector<std::string> command = platform.SplitArguments();
    return command.empty() ? EndWithError(platform, kNotEnoughMemory)
                           : RunCommand(platform, command);
  }

  // A folder dropped, quoted or not, is the game folder, as its quoted path
  // always was; any other drop is a run of its own.
  const Drop drop = ReadDrop(platform, text);
  switch (drop.kind) {
    case DropKind::None:
      break;
    case DropKind::Folder:
      text = kQuote + drop.game + kQuote;
      break;
    case DropKind::Font:
    case DropKind::GameFile:
    case DropKind::FontAndGame:
    case DropKind::Several:
      return RunDrop(platform, drop);
  }

  const ParseResult parsed = ParseArgumentText(text);
  if (!parsed.rejection.empty())
    return EndWithError(platform, parsed.rejection);
  const RunRequest& request = parsed.request;

  // Paths go to the platform as the user typed them: where names have case,
  // a name as typed wins over the same name in upper case.
  FontImage font{};
  if (request.kind == RunKind::Attach) {
    // Whatever font the file holds, in any format the font tools read.
    if (!ReadNamedFont(platform, request.font_path, SourceUse::Attach, &font))
      return kExitFailure;
    const std::string program = platform.ProgramExecutablePath();
    return AttachFont(platform, platform, program, font,
                      AttachAsAdministrator(platform, request.font_path))
               ? kExitSuccess
               : kExitFailure;
  }

  std::string font_path = request.font_path;
  switch (
      ReadFontSource(platform, platform, font_path, SourceUse::Patch, &font)) {
    case FontLoad::Failed:
      return kExitFailure;
    case FontLoad::Absent:
      // Without arguments and without a font file in the current folder,
      // the font is the one carried by the program itself.
      if (request.kind != RunKind::Default)
        return EndWithError(platform, kFontFileNotFound);
      if (!ReadAttachedFont(platform, platform, platform, &font))
        return kExitFailure;
      font_path.clear();
      break;
    case FontLoad::Loaded:
      break;
  }

  const std::string game_folder = WithTrailingBackslash(request.game_folder);
  const std::string as_administrator =
      PatchAsAdministrator(platform, font_path, game_folder);
  if (!PatchGameFolder(platform, platform, game_folder, font, as_administrator))
    return kExitFailure;
  return kExitSuccess;
}

}  // namespace

int EndWithError(User& user, std::string_view message) {
  ShowError(user, message);
  return kExitFailure;
}

bool ReadNamedFont(Platform& platform, const std::string& path, SourceUse use,
                   FontImage* font) {
  switch (ReadFontSource(platform, platform, path, use, font)) {
    case FontLoad::Absent:
      ShowError(platform, kFontFileNotFound);
      return false;
    case FontLoad::Failed:
      return false;
    case FontLoad::Loaded:
      break;
  }
  return true;
}

int RunProgram(Platform& platform) {
  // Nothing the program holds grows with the user's files, but should
  // memory run out all the same, the run ends with a message, not an abort.
  try {
    return RunRequested(platform);
  } catch (const std::exception&) {
    return EndWithError(platform, kNotEnoughMemory);
  }
}

}  // namespace mdlReplace
