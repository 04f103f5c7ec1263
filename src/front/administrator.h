// The command that does a run again from a Command Prompt started as
// administrator, for a write the system refused the user for want of
// rights. Such a prompt begins in System32, where only full paths find the
// program and the files, so every path is made full, and each is quoted.
#pragma once

#include <string>

#include "messages/write_refusal.h"
#include "platform/platform.h"

namespace mdlReplace {

// "PROGRAM" "FONT" "GAME FOLDER": patches the folder with the font file.
// Without a font path, the font the program carries, which a run without
// arguments in the game folder takes: cd /d "GAME FOLDER" && "PROGRAM"
// (pushd, for a folder on a network share).
// The command only where the system offers the way to an administrator.
AsAdministrator PatchAsAdministrator(CommandLine& program,
                                     const std::string& font_path,
                                     const std::string& game_folder);

// "PROGRAM" /A:"FONT", where the system offers the way.
AsAdministrator AttachAsAdministrator(CommandLine& program,
                                      const std::string& font_path);

}  // namespace mdlReplace
