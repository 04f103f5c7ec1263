// The order of a run, from the command line to the patched files.
#pragma once

#include <string>
#include <string_view>

#include "fonts/font.h"
#include "fonts/source_rules.h"
#include "platform/platform.h"

namespace mdlReplace {

constexpr int kExitSuccess = 0;
// After any message that ends the run.
constexpr int kExitFailure = 1;

constexpr std::string_view kNotEnoughMemory =
    "There was not enough memory to finish.";

// Shows the message and returns the status of a run that it ends.
int EndWithError(User& user, std::string_view message);

// Reads the font the user named, in any format the font tools read; false
// once the reason there is none has been shown.
bool ReadNamedFont(Platform& platform, const std::string& path, SourceUse use,
                   FontImage* font);

// Runs the program once and returns its exit status.
int RunProgram(Platform& platform);

}  // namespace mdlReplace
