// How an attach takes its lock on the program, alike on every system, so
// that attaches run at once take turns.
#pragma once

#include <functional>

#include "platform/platform.h"

namespace mdlReplace {

// The system's own steps of taking the lock.
struct LockSteps {
  // Opens the file that the path names now.
  std::function<OpenedFile()> open;
  // Takes the exclusive lock on the open file, waiting for its holder.
  std::function<bool(FileId)> lock;
  // Whether the path still names the locked file.
  std::function<bool(FileId)> still_named;
  std::function<void(FileId)> close;
};

// Opens and locks the file that the path names once the lock is held: a
// holder before may have put a new file in its place, and then that one is
// locked in turn. Refused where it cannot be locked.
OpenedFile OpenLockedInTurn(const LockSteps& steps);

}  // namespace mdlReplace
