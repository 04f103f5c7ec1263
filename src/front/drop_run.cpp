#include "front/drop.h"

#include <string_view>

#include "attached/attached_font.h"
#include "base/names.h"
#include "base/text_lines.h"
#include "front/font_advice.h"
#include "front/parser.h"
#include "front/run_steps.h"
#include "messages/show_error.h"
#include "patcher/patcher.h"
#include "source/font_source.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kNoProgramFolder =
    "The program's own folder could not be found, so the game beside it "
    "could not be patched.";

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

// "ZYR2.EXE is one of the game's files, not a font: ...": the folder
// named, since a player may have dropped another copy's file than the one
// beside the program.
std::string NoFontForGame(const std::string& program,
                          const std::string& game_file,
                          const std::string& font_path) {
  return std::string(FileNameOf(game_file)) +
         " is one of the game's files, not a font: dropped on " +
         std::string(FileNameOf(program)) +
         ", it patches its game with the ZYR2.FNT beside it, or else the "
         "font attached to the program, and there is neither (no " +
         font_path +
         "). Drop the font itself, or the font and the game folder together.";
}

// "The font was C:\GAMES\ZYR2\ZYR2.FNT, beside the game's files: ...": a
// player who dropped the game, not a font, reads a font's refusal as the
// game's, unless the font is named.
std::string FontBesideGame(Files& files, const std::string& font_path,
                           FontLoad load) {
  if (load != FontLoad::Absent)
    return "The font was " + font_path +
           ", beside the game's files: drop your font and the game folder "
           "together, or save your font over it.";
  if (NamesAFolder(files, font_path))
    return "The font was looked for as " + font_path +
           ", beside the game's files, and that is a folder, not a font: "
           "drop your font and the game folder together.";
  return "The font was looked for as " + font_path +
         ", beside the game's files: drop your font and the game folder "
         "together, or save your font there under that name.";
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
  const FontLoad load = LoadRunFont(
      platform, PathInFolder(folder, kFontFileName, platform.Separator()),
      SourceUse::Patch, font, &refusal);
  if (load == FontLoad::Failed)
    ShowError(platform, refusal + std::string(kLineBreak) +
                            FontBesideGame(platform, font->path, load));
  return load;
}

// A game file or a game folder dropped patches its game as a run in its
// folder would: with the ZYR2.FNT there, or else, where the drop may take
// it, the font the program carries. The message for neither is the typed
// forms' for a folder, and for a game file says what it is.
int PatchDroppedGame(Platform& platform, const std::string& folder,
                     const std::string& game_file, bool carried_font_taken) {
  RunFont font;
  switch (ReadFontBesideGame(platform, folder, &font)) {
    case FontLoad::Failed:
      return kExitFailure;
    case FontLoad::Absent:
      if (carried_font_taken &&
          FindAttachedFont(platform, platform, &font.glyphs)) {
        font.path.clear();
        break;
      }
      return EndWithError(
          platform,
          game_file.empty()
              ? std::string(kFontFileNotFound) + std::string(kLineBreak) +
                    FontBesideGame(platform, font.path, FontLoad::Absent)
              : NoFontForGame(platform.ProgramExecutablePath(), game_file,
                              font.path));
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

int RunDrop(Platform& platform, const Drop& drop) {
  switch (drop.kind) {
    case DropKind::Font:
      return PatchWithDroppedFont(platform, drop.font);
    case DropKind::GameFile:
      return PatchDroppedGame(platform,
                              GameFolderOf(drop.game, platform.Separator()),
                              drop.game, true);
    case DropKind::Folder:
      // A quoted folder is the typed form too, whose font is its ZYR2.FNT.
      return PatchDroppedGame(platform,
                              GivenFolder(drop.game, platform.Separator()), "",
                              !drop.typed_form);
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
