// The program on POSIX systems: its command line and its own file.
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

#include "base/names.h"
#include "platform/argument_text.h"
#include "platform/helpers_posix.h"
#include "platform/platform_posix.h"

namespace mdlReplace {

namespace {

// The running program's image, whatever has become of its name.
constexpr char kRunningImage[] = "/proc/self/exe";
// What the system adds to the name of a file that has lost it.
constexpr char kLostName[] = " (deleted)";

}  // namespace

PosixPlatform::PosixPlatform(std::vector<std::string> arguments)
    : arguments_(std::move(arguments)) {
  // Held back for the whole run, which for a program that starts nothing
  // is ignoring them in one call: the write fails (EPIPE, EFBIG) instead.
  sigset_t held;
  sigemptyset(&held);
  sigaddset(&held, SIGPIPE);
  sigaddset(&held, SIGXFSZ);
  sigprocmask(SIG_BLOCK, &held, nullptr);
}

std::string PosixPlatform::ArgumentText() {
  return RebuildArgumentText(arguments_);
}

std::vector<std::string> PosixPlatform::SplitArguments() {
  return arguments_;
}

OpenedFile PosixPlatform::OpenRunningProgram() {
  return OpenNative(kRunningImage, OpenMode::Read);
}

std::string PosixPlatform::ProgramExecutablePath() {
  // The file itself, not a link that was used to start it; exactly as the
  // system names it, whatever backslashes or case its folders have.
  std::string path(PATH_MAX, '\0');
  const ssize_t length = readlink(kRunningImage, path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size())
    return std::string();
  path.resize(static_cast<std::size_t>(length));
  // Replaced since it started (by another attach, say), the running file
  // has lost its name, and the system marks the name it had. That name now
  // holds the program's successor, the file to attach to; where nothing
  // holds it, the attach then finds no file.
  const std::size_t mark =
      path.size() - std::min(path.size(), sizeof(kLostName) - 1);
  if (path.compare(mark, std::string::npos, kLostName) == 0 &&
      !SameFile(path, kRunningImage))
    path.resize(mark);
  return path;
}

std::string PosixPlatform::ProgramFolder() {
  return std::string(FolderOf(ProgramExecutablePath(), kSlashOnly));
}

std::string PosixPlatform::FullPath(const std::string& path) {
  if (path.starts_with('/'))
    return path;
  std::string folder(PATH_MAX, '\0');
  if (getcwd(folder.data(), folder.size()) == nullptr)
    return path;
  folder.resize(folder.find('\0'));
  return PathInFolder(folder, path, Separator());
}

}  // namespace mdlReplace
