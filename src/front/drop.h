// Files and folders dropped on the program.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace mdlReplace {

// What a text names that is one path: a file or folder dropped on the
// program, which Explorer hands over as the whole text, in double quotes
// only when the path holds a blank (a Linux file manager's one argument
// comes quoted).
enum class Dropped { Nothing, File, Folder };

// The one path the text may be: without its enclosing quotes, and with no
// other quote in it; empty where it can be none.
std::string DroppedPath(std::string_view text);

Dropped WhatIsDropped(Platform& platform, const std::string& path);

// A font dropped on the program patches the game in the program's own
// folder; returns the exit status.
int PatchWithDroppedFont(Platform& platform, const std::string& font_path);

}  // namespace mdlReplace
