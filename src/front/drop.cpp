#include "front/drop.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "attached/attached_font.h"
#include "base/names.h"
#include "base/text_lines.h"
#include "front/parser.h"
#include "front/run.h"
#include "game/game_files.h"
#include "messages/show_error.h"
#include "patcher/patcher.h"
#include "source/font_source.h"

namespace mdlReplace {

namespace {

constexpr char kQuote = '"';
constexpr char kBlank = ' ';
constexpr std::string_view kNoProgramFolder =
    "The program's own folder could not be found, so the game beside it "
    "could not be patched.";

// What a dropped path names.
enum class Named { Nothing, File, GameFile, Folder };

struct DroppedPath {
  std::string path;
  bool quoted = false;
  Named named = Named::Nothing;
};

// The one path the whole text may be, blanks and all: without its
// enclosing quotes, and with no other quote in it; empty where it can be
// none.
std::string WholePath(std::string_view text) {
  if (text.size() >= 2 && text.front() == kQuote && text.back() == kQuote)
    text = text.substr(1, text.size() - 2);
  if (text.find(kQuote) != std::string_view::npos)
    return std::string();
  return std::string(text);
}

// The paths of a text made as Explorer makes it; empty where it is not.
std::vector<DroppedPath> SplitPaths(std::string_view text) {
  std::vector<DroppedPath> paths;
  std::size_t at = 0;
  while (at < text.size()) {
    DroppedPath dropped;
    std::size_t end = 0;
    if (text[at] == kQuote) {
      end = text.find(kQuote, at + 1);
      if (end == std::string_view::npos)
        return {};
      dropped.path = text.substr(at + 1, end - at - 1);
      dropped.quoted = true;
      ++end;
    } else {
      end = std::min(text.find(kBlank, at), text.size());
      dropped.path = text.substr(at, end - at);
      if (dropped.path.find(kQuote) != std::string::npos)
        return {};
    }
    if (dropped.path.empty())
      return {};
    paths.push_back(std::move(dropped));
    if (end < text.size() && (text[end] != kBlank || end + 1 == text.size()))
      return {};
    at = end + 1;
  }
  return paths;
}

// The game's files are known by their name, in any case. A pipe is a
// font, read to its end: only looked at here, it is read once, by the run.
Named WhatIsNamed(Files& files, const std::string& path) {
  if (path.empty())
    return Named::Nothing;
  switch (files.Look(path)) {
    case Found::Folder:
      return Named::Folder;
    case Found::Stream:
      return Named::File;
    case Found::File:
    case Found::Refused:
      return FindTargetFile(FileNameOf(path)) != nullptr ? Named::GameFile
                                                         : Named::File;
    case Found::Absent:
    case Found::Other:
      break;
  }
  return Named::Nothing;
}

// The folder of a game file, where its game is.
std::string GameFolderOf(const std::string& game_file) {
  const std::string_view folder = FolderOf(game_file);
  return folder.empty() ? std::string(kDefaultGameFolder) : std::string(folder);
}

// A font and what names its game, in either order; Several for any other
// set of paths.
Drop PairOrSeveral(const std::vector<DroppedPath>& paths) {
  if (paths.size() != 2)
    return Drop{.kind = DropKind::Several};
  const bool font_first = paths[0].named == Named::File;
  const DroppedPath& font = paths[font_first ? 0 : 1];
  const DroppedPath& game = paths[font_first ? 1 : 0];
  if (font.named != Named::File || game.named == Named::File)
    return Drop{.kind = DropKind::Several};
  return Drop{.kind = DropKind::FontAndGame,
              .font = font.path,
              .game = game.named == Named::Folder
                          ? WithTrailingBackslash(game.path)
                          : GameFolderOf(game.path)};
}

// "The game's files are not in FOLDER, ...": a player unpacked the
// program somewhere else than the game, and dropped a font on it there.
std::string NotInGameFolder(const std::string& program,
                            const std::string& folder) {
  const std::string name(FileNameOf(program));
  return "The game's files are not in " + std::string(ShownFolderOf(folder)) +
         ", where " + name + " is. Put " + name +
         " in the game's folder and drop the font on it there, or drop the "
         "font and the game folder together.";
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

std::string NoFontForGame(const std::string& program,
                          const std::string& game_file) {
  return std::string(FileNameOf(game_file)) +
         " is one of the game's files, not a font: dropped on " +
         std::string(FileNameOf(program)) +
         ", it patches its game with the ZYR2.FNT beside it, or else the "
         "font attached to the program, and there is neither. Drop the font "
         "itself, or the font and the game folder together.";
}

// "The font was C:\GAMES\ZYR2\ZYR2.FNT, beside the game's files: ...": a
// player who dropped the game, not a font, reads a font's refusal as the
// game's, unless the font is named.
std::string FontBesideGame(const std::string& font_path, FontLoad load) {
  return load == FontLoad::Absent
             ? "The font was looked for as " + font_path +
                   ", beside the game's files: drop your font and the game "
                   "folder together, or save your font there under that "
                   "name."
             : "The font was " + font_path +
                   ", beside the game's files: drop your font and the game "
                   "folder together, or save your font over it.";
}

std::string DropOneFont(const std::string& program) {
  return "Several files were dropped at once: drop one font at a time on " +
         std::string(FileNameOf(program)) +
         ", or one font and the game folder together.";
}

// A font dropped on the program patches the game in the program's own
// folder, where the player put the program, wherever the current folder
// is.
int PatchWithDroppedFont(Platform& platform, const std::string& font_path) {
  const std::string folder = platform.ProgramFolder();
  if (folder.empty())
    return EndWithError(platform, kNoProgramFolder);
  RunFont font;
  if (!ReadNamedFont(platform, font_path, SourceUse::Drop, &font))
    return kExitFailure;
  if (!HoldsGameFile(platform, folder))
    return EndWithError(
        platform,
        platform.ProgramsLieApart()
            ? NoGameBesideProgram(font_path, folder)
            : NotInGameFolder(platform.ProgramExecutablePath(), folder));
  return PatchGame(platform, folder, font);
}

// The font a run in the game's folder takes, its ZYR2.FNT (read as the
// typed forms read it), for a drop that named the game: one that is there
// but cannot be used is named after the typed forms' message, and what to
// do.
FontLoad ReadFontBesideGame(Platform& platform, const std::string& folder,
                            RunFont* font) {
  std::string refusal;
  const FontLoad load =
      LoadRunFont(platform, folder + std::string(kFontFileName),
                  SourceUse::Patch, font, &refusal);
  if (load == FontLoad::Failed)
    ShowError(platform, refusal + std::string(kLineBreak) +
                            FontBesideGame(font->path, load));
  return load;
}

// A game file dropped patches its game as a run in its folder would: with
// the ZYR2.FNT there, or else the font the program carries.
int PatchDroppedGame(Platform& platform, const std::string& game_file) {
  const std::string folder = GameFolderOf(game_file);
  RunFont font;
  switch (ReadFontBesideGame(platform, folder, &font)) {
    case FontLoad::Failed:
      return kExitFailure;
    case FontLoad::Absent:
      if (!FindAttachedFont(platform, platform, &font.glyphs))
        return EndWithError(
            platform,
            NoFontForGame(platform.ProgramExecutablePath(), game_file));
      font.path.clear();
      break;
    case FontLoad::Loaded:
      break;
  }
  return PatchGame(platform, folder, font);
}

// A folder dropped, unquoted (quoted, it is the form the players typed), is
// the game folder, with the ZYR2.FNT in it, as the typed form has it.
int PatchDroppedFolder(Platform& platform, const std::string& game_folder) {
  const std::string folder = WithTrailingBackslash(game_folder);
  RunFont font;
  switch (ReadFontBesideGame(platform, folder, &font)) {
    case FontLoad::Failed:
      return kExitFailure;
    case FontLoad::Absent:
      return EndWithError(
          platform, std::string(kFontFileNotFound) + std::string(kLineBreak) +
                        FontBesideGame(font.path, FontLoad::Absent));
    case FontLoad::Loaded:
      break;
  }
  return PatchGame(platform, folder, font);
}

int PatchWithFontAndGame(Platform& platform, const std::string& font_path,
                         const std::string& game_folder) {
  RunFont font;
  if (!ReadNamedFont(platform, font_path, SourceUse::Drop, &font))
    return kExitFailure;
  return PatchGame(platform, game_folder, font);
}

}  // namespace

Drop ReadDrop(Files& files, const std::string& text) {
  // The whole text first: a name may hold blanks, unquoted.
  const std::string whole = WholePath(text);
  switch (WhatIsNamed(files, whole)) {
    case Named::File:
      return Drop{.kind = DropKind::Font, .font = whole};
    case Named::GameFile:
      return Drop{.kind = DropKind::GameFile, .game = whole};
    case Named::Folder:
      // Quoted, the path is the typed form of a game folder.
      return whole == text ? Drop{.kind = DropKind::Folder, .game = whole}
                           : Drop{};
    case Named::Nothing:
      break;
  }
  std::vector<DroppedPath> paths = SplitPaths(text);
  if (paths.size() < 2)
    return Drop{};
  for (DroppedPath& dropped : paths) {
    dropped.named = WhatIsNamed(files, dropped.path);
    if (dropped.named == Named::Nothing)
      return Drop{};
  }
  // "FONT" "GAME FOLDER" is the parser's, whatever file the font is.
  const bool parsers_form =
      paths.size() == 2 && paths[0].quoted && paths[1].quoted &&
      paths[0].named != Named::Folder && paths[1].named == Named::Folder;
  return parsers_form ? Drop{} : PairOrSeveral(paths);
}

int RunDrop(Platform& platform, const Drop& drop) {
  switch (drop.kind) {
    case DropKind::Font:
      return PatchWithDroppedFont(platform, drop.font);
    case DropKind::GameFile:
      return PatchDroppedGame(platform, drop.game);
    case DropKind::Folder:
      return PatchDroppedFolder(platform, drop.game);
    case DropKind::FontAndGame:
      return PatchWithFontAndGame(platform, drop.font, drop.game);
    case DropKind::Several:
      return EndWithError(platform,
                          DropOneFont(platform.ProgramExecutablePath()));
    case DropKind::None:
      break;
  }
  return kExitFailure;
}

}  // namespace mdlReplace
