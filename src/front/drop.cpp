#include "front/drop.h"

#include "front/administrator.h"
#include "front/run.h"
#include "patcher/patcher.h"

namespace mdlReplace {

namespace {

constexpr char kQuote = '"';
constexpr std::string_view kNoProgramFolder =
    "The program's own folder could not be found, so the game beside it "
    "could not be patched.";

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

}  // namespace

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
  return PatchGameFolder(platform, platform, folder, font,
                         PatchAsAdministrator(platform, font_path, folder))
             ? kExitSuccess
             : kExitFailure;
}

}  // namespace mdlReplace
