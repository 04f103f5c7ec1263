#include "platform/lock_turns.h"

namespace mdlReplace {

namespace {

// Attaches that replaced the program while this one waited for its lock
// send it back to the new program; this many turns mean something is wrong.
constexpr int kLockAttempts = 1000;

}  // namespace

OpenedFile OpenLockedInTurn(const LockSteps& steps) {
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    const OpenedFile file = steps.open();
    if (file.found != Found::File)
      return file;
    if (!steps.lock(file.id)) {
      steps.close(file.id);
      return OpenedFile{.found = Found::Refused};
    }
    if (steps.still_named(file.id))
      return file;
    // The holder before put a new file in its place: lock that one.
    steps.close(file.id);
  }
  return OpenedFile{.found = Found::Refused};
}

}  // namespace mdlReplace
