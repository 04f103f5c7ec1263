#include "front/drop.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "base/names.h"
#include "front/parser.h"
#include "game/game_files.h"

namespace mdlReplace {

namespace {

constexpr char kQuote = '"';
constexpr char kBlank = ' ';

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
// A font and what names its game, in either order; Several for any other
// set of paths.
Drop PairOrSeveral(const std::vector<DroppedPath>& paths, char separator) {
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
                          ? GivenFolder(game.path, separator)
                          : GameFolderOf(game.path, separator)};
}

}  // namespace

std::string GameFolderOf(const std::string& game_file, char separator) {
  const std::string_view folder = FolderOf(game_file);
  // A slash ends a folder on every platform, as the path has it; a
  // backslash there is a player's, read as GivenFolder reads it.
  if (folder.ends_with('/'))
    return std::string(folder);
  return GivenFolder(
      folder.empty() ? std::string(kDefaultGameFolder) : std::string(folder),
      separator);
}

Drop ReadDrop(Files& files, const std::string& text) {
  // The whole text first: a name may hold blanks, unquoted.
  const std::string whole = WholePath(text);
  switch (WhatIsNamed(files, whole)) {
    case Named::File:
      return Drop{.kind = DropKind::Font, .font = whole};
    case Named::GameFile:
      return Drop{.kind = DropKind::GameFile, .game = whole};
    case Named::Folder:
      // Quoted without a blank, the path is the typed form of a game
      // folder: Explorer quotes only a path that holds one.
      return whole == text || whole.find(kBlank) != std::string::npos
                 ? Drop{.kind = DropKind::Folder,
                        .game = whole,
                        .typed_form = whole != text}
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
  return parsers_form ? Drop{} : PairOrSeveral(paths, files.Separator());
}
}  // namespace mdlReplace
