// What the user is told of a file that the system would not let be
// written: the reason, then what to do about it.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace mdlReplace {

// The line that says why NAME (a game file, or the program) could not be
// written and what to do, by the refusal; a refusal in its folder names
// the folder. as_administrator is the command a Command Prompt started as
// administrator takes to do the same, where the system offers one (empty
// otherwise). Empty for a reason the program does not tell apart and for
// which the system gave no words.
std::string WhatToDo(const WriteRefusal& why, std::string_view name,
                     std::string_view folder,
                     std::string_view as_administrator);

}  // namespace mdlReplace
