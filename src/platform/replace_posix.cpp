// Replacing a file beside it on POSIX systems: the copy, its permissions,
// the rename, and the lock that attaches take turns by.
#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "base/names.h"
#include "platform/helpers_posix.h"
#include "platform/lock_turns.h"
#include "platform/platform_posix.h"

namespace mdlReplace {

namespace {

// Copies are hidden files of a short name of their own, this and six
// random characters, so that one fits in any folder that its file does.
constexpr char kCopyPrefix[] = ".zyr2font-";
constexpr std::size_t kCopyRandomLength = 6;
constexpr int kCopyAttempts = 100;

// Takes the exclusive lock on the file, waiting for its holder.
bool LockWaiting(int fd) {
  int locked;
  do {
    locked = flock(fd, LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  return locked == 0;
}

bool IsCopyName(std::string_view entry) {
  const std::string_view prefix(kCopyPrefix);
  if (entry.size() != prefix.size() + kCopyRandomLength ||
      entry.substr(0, prefix.size()) != prefix)
    return false;
  return std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                     entry.end(), [](char c) {
                       return (c >= '0' && c <= '9') ||
                              (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
                     });
}

// Removes the copies in the folder that runs were cut short from putting
// in place (by SIGKILL, say). A copy's maker holds a lock on it from just
// after creating it until it is renamed or removed, so a copy that can be
// locked has no maker left, or one that has not locked it yet and will
// find it gone.
void RemoveLeftoverCopies(const std::string& folder) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr)
    return;
  // One thread only; readdir_r, which the check would have, is deprecated.
  // cppcheck-suppress readdirCalled
  while (const dirent* entry = readdir(dir)) {
    if (!IsCopyName(entry->d_name))
      continue;
    const std::string path = folder + entry->d_name;
    const int fd =
        open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
      continue;
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, path))
      unlink(path.c_str());
    close(fd);
  }
  closedir(dir);
}

// Creates a copy in the folder and locks it. A copy that a run cleaning up
// removed before the lock was taken is made again. Where the file system
// has no locks, the copy goes unlocked, and no run cleaning up there
// removes any.
int CreateLockedCopy(const std::string& folder, std::string* name) {
  for (int attempt = 0; attempt < kCopyAttempts; ++attempt) {
    *name = folder + kCopyPrefix + std::string(kCopyRandomLength, 'X');
    int fd;
    {
      EndingSignalsHeld held;
      fd = mkostemp(name->data(), O_CLOEXEC);
      if (fd < 0)
        return -1;
      RecordPendingCopy(*name, fcntl(fd, F_DUPFD_CLOEXEC, 0));
    }
    LockWaiting(fd);
    struct stat info;
    if (fstat(fd, &info) == 0 && info.st_nlink > 0)
      return fd;
    close(fd);
    EndingSignalsHeld held;
    ForgetPendingCopy(*name);
  }
  return -1;
}

// Extended attributes go with the file where the system lets them; those it
// refuses (or lacks) are left behind without a word.
void CopyExtendedAttributes(const std::string& from, int to) {
  std::array<char, 4096> names{};
  const ssize_t size = listxattr(from.c_str(), names.data(), names.size());
  for (ssize_t at = 0; at < size;) {
    const char* name = names.data() + at;
    std::array<char, 4096> value{};
    const ssize_t length =
        getxattr(from.c_str(), name, value.data(), value.size());
    if (length >= 0)
      fsetxattr(to, name, value.data(), static_cast<std::size_t>(length), 0);
    at += static_cast<ssize_t>(std::strlen(name)) + 1;
  }
}

// The permissions the copy takes: the original's, or those of a new file.
bool SetPermissions(int fd, const std::string& original) {
  struct stat info;
  if (stat(original.c_str(), &info) == 0) {
    // The owner matters only where it can be kept; the permissions always.
    const int ignored = fchown(fd, info.st_uid, info.st_gid);
    static_cast<void>(ignored);
    CopyExtendedAttributes(original, fd);
    return fchmod(fd, info.st_mode & 07777) == 0;
  }
  const mode_t mask = umask(0);
  umask(mask);
  return fchmod(fd, 0666 & ~mask) == 0;
}

}  // namespace

OpenedFile PosixPlatform::OpenLocked(const std::string& path) {
  if (path.empty())
    return OpenedFile{.found = Found::Absent};
  return OpenLockedInTurn(LockSteps{
      .open = [&] { return OpenNative(path, OpenMode::Read); },
      .lock = [](FileId file) { return LockWaiting(Descriptor(file)); },
      .still_named =
          [&](FileId file) { return SameFile(Descriptor(file), path); },
      .close = [](FileId file) { close(Descriptor(file)); },
  });
}

Replaced PosixPlatform::FindReplaced(const std::string& path,
                                     std::string* final_path) {
  *final_path = path;
  struct stat info;
  if (lstat(path.c_str(), &info) != 0)
    return Replaced::New;  // where it cannot be made, making it fails
  if (S_ISLNK(info.st_mode)) {
    // As an editor saves through a link: the file it leads to, in that
    // file's own folder.
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
      return errno == ENOENT ? Replaced::DanglingLink : Replaced::NotAFile;
    *final_path = resolved;
    std::free(resolved);
    if (stat(final_path->c_str(), &info) != 0)
      return Replaced::NotAFile;
  }
  return S_ISREG(info.st_mode) ? Replaced::File : Replaced::NotAFile;
}

FileId PosixPlatform::CreateBeside(const std::string& path,
                                   std::string* created_path,
                                   WriteRefusal* why) {
  // A file its user may not write is not replaced, even where the folder
  // would allow the rename.
  if (EntryExists(path) &&
      faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
    *why = WriteRefusal{.reason = WhyRefused(errno)};
    return kNoFile;
  }
  const std::string folder(FolderOf(path, kSlashOnly));
  RemoveLeftoverCopies(folder);
  RemoveCopyOnEndingSignals();
  std::string name;
  const int fd = CreateLockedCopy(folder, &name);
  if (fd < 0) {
    *why = WriteRefusal{.reason = WhyRefused(errno), .in_folder = true};
    return kNoFile;
  }
  if (!SetPermissions(fd, path)) {
    close(fd);
    RemoveFile(name);
    return kNoFile;
  }
  *created_path = name;
  return fd;
}

bool PosixPlatform::PutInPlace(const std::string& replacement,
                               const std::string& path, WriteRefusal* why) {
  {
    EndingSignalsHeld held;
    if (rename(replacement.c_str(), path.c_str()) != 0) {
      *why = WriteRefusal{.reason = WhyRefused(errno), .in_folder = true};
      return false;
    }
    ForgetPendingCopy(replacement);
  }
  // The rename is done; flushing the folder only makes it last through a
  // power cut, and its failure changes nothing that could be undone.
  const std::string folder(FolderOf(path, kSlashOnly));
  const int fd = open(folder.empty() ? "." : folder.c_str(),
                      O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
  return true;
}

bool PosixPlatform::RemoveFile(const std::string& path) {
  EndingSignalsHeld held;
  const bool removed = unlink(path.c_str()) == 0;
  ForgetPendingCopy(path);
  return removed;
}

}  // namespace mdlReplace
