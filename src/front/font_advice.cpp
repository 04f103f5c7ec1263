#include "front/font_advice.h"

#include "attached/attached_font.h"
#include "base/names.h"
#include "base/text_lines.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kNameFontAndGame =
    "name your font and the game folder: zyr2font \"FONT\" \"GAME FOLDER\"";

// Where programs lie apart from games, a run without arguments is typed in
// a shell, whose user knows the current folder by name.
std::string ShownFontPath(Platform& platform, const std::string& font_path) {
  return platform.ProgramsLieApart()
             ? std::string(FileNameOf(font_path)) + " in the current folder"
             : platform.FullPath(font_path);
}

std::string ProgramName(CommandLine& program) {
  return std::string(FileNameOf(program.ProgramExecutablePath()));
}

// Where programs lie apart from games, a font is named with its game; on
// Windows a player drops it on the program.
std::string DropOrName(Platform& platform) {
  return platform.ProgramsLieApart()
             ? std::string(kNameFontAndGame)
             : "drop your font on " + ProgramName(platform) + ".";
}

// The same, or save it where a run in the game's folder finds it.
std::string HowToGiveAFont(Platform& platform) {
  if (platform.ProgramsLieApart())
    return std::string(kNameFontAndGame);
  const std::string name = ProgramName(platform);
  return "drop your font on " + name +
         ", or save it as ZYR2.FNT beside the game's ZYR2.EXE and start " +
         name + " there.";
}

}  // namespace

bool NamesAFolder(Files& files, const std::string& font_path) {
  // Named as the run names it, found as the run found it.
  const OpenedFile found =
      files.Open(font_path, Naming::Spelled, OpenMode::Read);
  if (found.id != kNoFile)
    files.Close(found.id);
  return found.found == Found::Folder;
}

std::string NoFontForDefaultRun(Platform& platform,
                                const std::string& font_path) {
  const std::string full = ShownFontPath(platform, font_path);
  const std::string where =
      NamesAFolder(platform, font_path)
          ? full + " is a folder, not a font: " + DropOrName(platform)
          : "The font was looked for as " + full + ": " +
                HowToGiveAFont(platform);
  return std::string(kNoAttachedFont) + std::string(kLineBreak) + where;
}

std::string DefaultRunFontRefused(Platform& platform,
                                  const std::string& refusal,
                                  const std::string& font_path) {
  return refusal + std::string(kLineBreak) + "The font was " +
         ShownFontPath(platform, font_path) + ": save your font over it, or " +
         DropOrName(platform);
}

std::string DroppedFontRefused(const std::string& refusal,
                               const std::string& font_path) {
  if (refusal.find(font_path) != std::string::npos)
    return refusal;
  return refusal + std::string(kLineBreak) + "The file dropped was " +
         font_path + ".";
}

}  // namespace mdlReplace
