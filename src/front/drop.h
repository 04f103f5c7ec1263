// Files and folders dropped on the program. Explorer starts a program that
// paths are dropped on with the paths alone, one blank between them, each
// in double quotes only where it holds a blank; a Linux file manager's
// arguments come the same way. A text that names only things that exist,
// and that the parser would not read as a run that can be done, is such a
// drop; every other text goes to the parser as it always did.
#pragma once

#include <cstddef>
#include <string>

#include "platform/platform.h"

namespace mdlReplace {

enum class DropKind {
  None,         // no drop: the parser reads the text
  Folder,       // one folder, unquoted or quoted with a blank in it, as
                // Explorer gives it: the game folder, its ZYR2.FNT the font
                // (quoted without a blank, it is the parser's)
  Font,         // one file: the font, for the game beside the program
  GameFile,     // one of the game's files: its game, never its font
  FontAndGame,  // a font and a folder or a game file, in either order
  Several,      // any other set of paths
};

struct Drop {
  DropKind kind = DropKind::None;
  std::string font{};  // Font, FontAndGame
  // Folder: the folder; GameFile: the game file; FontAndGame: the game's
  // folder, ending with a separator.
  std::string game{};
  // Folder: quoted, which is also the typed form of a game folder, whose
  // meaning a drop keeps: its ZYR2.FNT, and no other font.
  bool typed_form = false;
};

// The folder of a game file, where its game is, ending with the separator.
std::string GameFolderOf(const std::string& game_file, char separator);

// What the text names, by looking at each path it may hold.
Drop ReadDrop(Files& files, const std::string& text);

// Patches the game the drop names with the font it names, or says why
// not; returns the exit status. Not for None, which the parser reads.
int RunDrop(Platform& platform, const Drop& drop);

}  // namespace mdlReplace
