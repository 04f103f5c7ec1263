// The order of a run, from the command line to the patched files.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace mdlReplace {

constexpr int kExitSuccess = 0;
// After any message that ends the run.
constexpr int kExitFailure = 1;

constexpr std::string_view kNotEnoughMemory =
    "There was not enough memory to finish.";

// Shows the message and returns the status of a run that it ends.
int EndWithError(User& user, std::string_view message);

// Runs the program once and returns its exit status.
int RunProgram(Platform& platform);

}  // namespace mdlReplace
