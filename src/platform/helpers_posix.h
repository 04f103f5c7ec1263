// What the POSIX platform's files share among themselves; nothing outside
// src/platform/*_posix.cpp includes it.
#pragma once

#include <signal.h>

#include <string>

#include "platform/platform.h"

namespace mdlReplace {

// files_posix.cpp

bool EntryExists(const std::string& path);

// Why writing was refused with the error, as far as the error tells.
Refusal WhyRefused(int error);

inline int Descriptor(FileId file) {
  return static_cast<int>(file);
}

// Opens an ordinary file, or a pipe to read, at the native path.
OpenedFile OpenNative(const std::string& path, OpenMode mode);

// Whether the open file is the one the path names, or the two paths name
// one file.
bool SameFile(int fd, const std::string& path);
bool SameFile(const std::string& a, const char* b);

// pending_copy_posix.cpp: the copy in flight, which a signal that ends the
// program removes first.

// Holds back the ending signals while the record of the pending copy and
// the copy itself change together.
class EndingSignalsHeld {
 public:
  EndingSignalsHeld();
  ~EndingSignalsHeld();
  EndingSignalsHeld(const EndingSignalsHeld&) = delete;
  EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

 private:
  sigset_t before_;
};

// Every ending signal that would end the program as it stands removes the
// copy first; one ignored, or caught by another (a sanitizer), is left so.
void RemoveCopyOnEndingSignals();

// Records the copy being written and the second descriptor that holds its
// lock. Call with the ending signals held.
void RecordPendingCopy(const std::string& path, int lock);

// The copy is in place or gone: its record and its lock go.
void ForgetPendingCopy(const std::string& path);

}  // namespace mdlReplace
