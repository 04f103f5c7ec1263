// The program's own commands: --help, --version, and the font tools
// --show, --convert and --merge.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fonts/font.h"
#include "fonts/formats.h"
#include "platform/platform.h"

namespace mdlReplace {

// Runs the command, the first of the arguments, and returns the exit
// status: 0 on success, 1 after a message.
int RunCommand(Platform& platform, const std::vector<std::string>& arguments);

// The steps that every command takes alike, for those in files of their
// own.

// "NAME was not found."
std::string NotFound(const std::string& path);

// Reads the font of the source, or shows why there is none; false then.
bool ReadSourceFont(Platform& platform, const std::string& path,
                    CodePageUse* code_pages, FontImage* font);

// Prints text the user asked for, and returns the exit status: a failure
// to print is told.
int Print(Platform& platform, std::string_view text);

}  // namespace mdlReplace
