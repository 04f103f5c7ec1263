// Replacing a file whole, through the platform.
#pragma once

#include <functional>
#include <string>

#include "platform/platform.h"

namespace mdlReplace {

enum class Replacement { Done, NotAFile, DanglingLink, Failed };

// Writes a new file for the exact path beside the file it names, flushes
// it, and puts it in that file's place in one step: afterwards the path
// names the whole new file or, on any failure, what it named before, and
// no copy is left. A symbolic link stays a link: the ordinary file it
// finally names is the one replaced, in its own folder, keeping its mode.
// A folder, device or pipe, or a link to one or to nothing, is left alone.
// fill writes the content into the new file and tells whether all of it
// went in. Where the system refused the new file, a write into it (a full
// disk, a file-size limit) or the rename, why says why; the room it holds
// stays as the caller set it.
Replacement ReplaceFile(Replacer& replacer, const std::string& path,
                        const std::function<bool(FileId)>& fill,
                        WriteRefusal* why);
Replacement ReplaceFile(Replacer& replacer, const std::string& path,
                        const std::function<bool(FileId)>& fill);

}  // namespace mdlReplace
