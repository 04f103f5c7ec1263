// The program's own commands: --help, --version, and the font tools
// --show, --convert, --merge and --check.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace mdlReplace {

// Runs the command, the first of the arguments, and returns the exit
// status: 0 on success, 1 after a message.
int RunCommand(Platform& platform, const std::vector<std::string>& arguments);

}  // namespace mdlReplace
