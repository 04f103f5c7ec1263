#include "front/administrator.h"

#include "base/command_words.h"
#include "base/names.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kChangeFolder = "cd /d ";
// A Command Prompt refuses a network share as its current folder, and
// then skips the program: pushd maps the share to a drive of its own.
constexpr std::string_view kChangeToShare = "pushd ";
constexpr std::string_view kSharePrefix = "\\\\";
constexpr std::string_view kAndThen = " && ";

// A path never holds a double quote on Windows, so quoting it is all a
// Command Prompt and the program's parser need.
std::string Quoted(std::string_view path) {
  return "\"" + std::string(path) + "\"";
}

// The folder, which ends with its separator as every game folder of a run
// does, as a full path without the backslash after it (as a user writes
// it), but for a drive's root.
std::string FullFolder(CommandLine& program, const std::string& folder) {
  return std::string(ShownFolderOf(program.FullPath(folder)));
}

// Whether the system offers the way to an administrator, by either road.
bool Offered(Administrator rights) {
  return rights == Administrator::Offered ||
         rights == Administrator::OfferedAsAnotherUser;
}

}  // namespace

AsAdministrator PatchAsAdministrator(CommandLine& program,
                                     const std::string& font_path,
                                     const std::string& game_folder) {
  AsAdministrator as{.rights = program.AdministratorRights()};
  // The program's path only where a way is offered: elsewhere it would be
  // asked of the system for nothing.
  if (!Offered(as.rights))
    return as;
  const std::string self = program.ProgramExecutablePath();
  if (self.empty())
    return as;
  const std::string full_folder = FullFolder(program, game_folder);
  const std::string folder = Quoted(full_folder);
  const std::string_view change =
      full_folder.starts_with(kSharePrefix) ? kChangeToShare : kChangeFolder;
  as.command =
      font_path.empty()
          ? std::string(change) + folder + std::string(kAndThen) + Quoted(self)
          : Quoted(self) + " " + Quoted(program.FullPath(font_path)) + " " +
                folder;
  return as;
}

AsAdministrator AttachAsAdministrator(CommandLine& program,
                                      const std::string& font_path) {
  AsAdministrator as{.rights = program.AdministratorRights()};
  const std::string self = program.ProgramExecutablePath();
  if (Offered(as.rights) && !self.empty())
    as.command = Quoted(self) + " " + std::string(kAttachPrefix) +
                 Quoted(program.FullPath(font_path));
  return as;
}

}  // namespace mdlReplace
