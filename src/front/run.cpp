#include "front/run.h"

#include <exception>
#include <string>
#include <vector>

#include "attached/attached_font.h"
#include "front/commands.h"
#include "front/parser.h"
#include "messages/show_error.h"
#include "patcher/patcher.h"
#include "source/font_source.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kCommandPrefix = "--";
constexpr char kQuote = '"';
constexpr std::string_view kNoProgramFolder =
    "The program's own folder could not be found, so the game beside it "
    "could not be patched.";

// What a text names that is one path: a file or folder dropped on the
// program, which Explorer hands over as the whole text, in double quotes
// only when the path holds a blank (a Linux file manager's one argument
// comes quoted).
enum class Dropped { Nothing, File, Folder };

// The one path the text may be: without its enclosing quotes, and with no
// other quote in it; empty where it can be none.
std::string DroppedPath(std::string_view text) {
  if (text.size() >= 2 && text.front() == kQuote && text.back() == kQuote)
    text = text.substr(1, text.size() - 2);
  if (text.find(kQuote) != std::string_view::npos)
    return std::string();
  return std::string(text);
}

Dropped WhatIsDropped(Platform& platform, const std::string& path) {
  if (path.empty())
    return Dropped::Nothing;
  const OpenedFile file = platform.Open(path, Naming::Exact, OpenMode::Read);
  if (file.found == Found::File || file.found == Found::Stream)
    platform.Close(file.id);
  if (file.found == Found::File || file.found == Found::Refused)
    return Dropped::File;
  return file.found == Found::Folder ? Dropped::Folder : Dropped::Nothing;
}

// "FONT was given alone, ...": where programs lie apart from games, a font
// without a game folder has no game beside the program to go to.
std::string NoGameBesideProgram(const std::string& font_path,
                                const std::string& folder) {
  return font_path +
         " was given alone, so the game was looked for beside "
         "the program, in " +
         folder + ", and none of its files is there." +
         "\r\nName the game folder after the font: zyr2font \"" + font_path +
         "\" \"GAME FOLDER\"";
}

// Reads the font the user named, in any format the font tools read; false
// once the reason there is none has been shown.
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

// A font dropped on the program patches the game in the program's own
// folder, where the player put the program, wherever the current folder
// is. The font is read as a patch run's font is.
int PatchWithDroppedFont(Platform& platform, const std::string& font_path) {
  const std::string folder = platform.ProgramFolder();
  if (folder.empty())
    return EndWithError(platform, kNoProgramFolder);
  FontImage font{};
  if (!ReadNamedFont(platform, font_path, SourceUse::Patch, &font))
    return kExitFailure;
  if (platform.ProgramsLieApart() && !HoldsGameFile(platform, folder))
    return EndWithError(platform, NoGameBesideProgram(font_path, folder));
  return PatchGameFolder(platform, platform, folder, font) ? kExitSuccess
                                                           : kExitFailure;
}

int RunRequested(Platform& platform) {
  // A text that begins with "--" names one of the program's own commands,
  // on every platform; any other is a patch run's, as the parser reads it.
  std::string text = platform.ArgumentText();
  if (text.starts_with(kCommandPrefix)) {
    const std::vector<std::string> command = platform.SplitArguments();
    return command.empty() ? EndWithError(platform, kNotEnoughMemory)
                           : RunCommand(platform, command);
  }

  // A file dropped on the program is the font; a folder, quoted or not, the
  // game folder, as its quoted path always was.
  const std::string dropped = DroppedPath(text);
  switch (WhatIsDropped(platform, dropped)) {
    case Dropped::File:
      return PatchWithDroppedFont(platform, dropped);
    case Dropped::Folder:
      text = kQuote + dropped + kQuote;
      break;
    case Dropped::Nothing:
      break;
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
    return AttachFont(platform, platform, program, font) ? kExitSuccess
                                                         : kExitFailure;
  }

  switch (ReadFontSource(platform, platform, request.font_path,
                         SourceUse::Patch, &font)) {
    case FontLoad::Failed:
      return kExitFailure;
    case FontLoad::Absent:
      // Without arguments and without a font file in the current folder,
      // the font is the one carried by the program itself.
      if (request.kind != RunKind::Default)
        return EndWithError(platform, kFontFileNotFound);
      if (!ReadAttachedFont(platform, platform, platform, &font))
        return kExitFailure;
      break;
    case FontLoad::Loaded:
      break;
  }

  const std::string game_folder = WithTrailingBackslash(request.game_folder);
  if (!PatchGameFolder(platform, platform, game_folder, font))
    return kExitFailure;
  return kExitSuccess;
}

}  // namespace

int EndWithError(User& user, std::string_view message) {
  ShowError(user, message);
  return kExitFailure;
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
