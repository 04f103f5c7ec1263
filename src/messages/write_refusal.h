// What the user is told of a file that the system would not let be
// written: the reason, then what to do about it.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace mdlReplace {

// What was refused: one of the game's files, or the program's own, which
// the game never holds.
enum class RefusedFile { GameFile, Program };

// What a user denied a write can do as administrator: the rights the
// program runs with, and, where the way is offered, the command a Command
// Prompt started as administrator takes to do the same.
struct AsAdministrator {
  Administrator rights = Administrator::None;
  std::string command{};
};

// The line that says why NAME (a game file, or the program) could not be
// written and what to do, by the refusal; a refusal in its folder names
// the folder. Empty for a reason the program does not tell apart and for
// which the system gave no words.
std::string WhatToDo(const WriteRefusal& why, RefusedFile refused,
                     std::string_view name, std::string_view folder,
                     const AsAdministrator& as_administrator);

}  // namespace mdlReplace
