#include "front/administrator.h"

#include "base/command_words.h"
#include "base/names.h"
#include "front/parser.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kChangeFolder = "cd /d ";
constexpr std::string_view kAndThen = " && ";

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

AsAdministrator PatchAsAdministrator(CommandLine& program,
                                     const std::string& font_path,
                                     const std::string& game_folder) {
  AsAdministrator as{.rights = program.AdministratorRights()};
  const std::string self = program.ProgramExecutablePath();
  if (as.rights != Administrator::Offered || self.empty())
    return as;
  const std::string folder = Quoted(FullFolder(program, game_folder));
  as.command = font_path.empty()
                   ? std::string(kChangeFolder) + folder +
                         std::string(kAndThen) + Quoted(self)
                   : Quoted(self) + " " + Quoted(program.FullPath(font_path)) +
                         " " + folder;
  return as;
}

AsAdministrator AttachAsAdministrator(CommandLine& program,
                                      const std::string& font_path) {
  AsAdministrator as{.rights = program.AdministratorRights()};
  const std::string self = program.ProgramExecutablePath();
  if (as.rights == Administrator::Offered && !self.empty())
    as.command = Quoted(self) + " " + std::string(kAttachPrefix) +
                 Quoted(program.FullPath(font_path));
  return as;
}

}  // namespace mdlReplace
