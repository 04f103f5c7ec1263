// The order of a run, from the command line to the patched files.
#pragma once

#include "platform/platform.h"

namespace mdlReplace {

// Runs the program once and returns its exit status.
int RunProgram(Platform& platform);

}  // namespace mdlReplace
