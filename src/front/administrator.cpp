#include "front/administrator.h"

#include "base/names.h"
#include "front/parser.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kChangeFolder = "cd /d ";
constexpr std::string_view kAndThen = " && ";
constexpr std::string_view kAttachPrefix = "/A:";

// A path never holds a double quote on Windows, so quoting it is all a
// Command Prompt and the program's parser need.
std::string Quoted(std::string_view path) {
  return "\"" + std::string(path) + "\"";
}

// The folder as a full path, without the backslash after it (as a user
// writes it), but for a drive's root.
std::string FullFolder(CommandLine& program, const std::string& folder) {
  return std::string(
      ShownFolderOf(program.FullPath(WithTrailingBackslash(folder))));
}

}  // namespace

std::string PatchAsAdministrator(CommandLine& program,
                                 const std::string& font_path,
                                 const std::string& game_folder) {
  const std::string self = program.ProgramExecutablePath();
  if (!program.OffersAdministrator() || self.empty())
    return std::string();
  const std::string folder = Quoted(FullFolder(program, game_folder));
  if (font_path.empty())
    return std::string(kChangeFolder) + folder + std::string(kAndThen) +
           Quoted(self);
  return Quoted(self) + " " + Quoted(program.FullPath(font_path)) + " " +
         folder;
}

std::string AttachAsAdministrator(CommandLine& program,
                                  const std::string& font_path) {
  const std::string self = program.ProgramExecutablePath();
  if (!program.OffersAdministrator() || self.empty())
    return std::string();
  return Quoted(self) + " " + std::string(kAttachPrefix) +
         Quoted(program.FullPath(font_path));
}

}  // namespace mdlReplace
