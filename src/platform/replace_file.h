// Replacing a file whole, through the platform.
#pragma once

#include <functional>
#include <string>

#include "platform/platform.h"

namespace mdlReplace {

// Writes a new file for the exact path beside it, flushes it, and puts it
// in the path's place in one step: afterwards the path names the whole new
// file or, on any failure, what it named before, and no copy is left. fill
// writes the content into the new file and tells whether all of it went in.
bool ReplaceFile(Platform& platform, const std::string& path,
                 const std::function<bool(FileId)>& fill);

}  // namespace mdlReplace
