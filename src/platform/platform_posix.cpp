#include "platform/platform_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "platform/argument_text.h"

namespace mdlReplace {

namespace {

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i]))
      return false;
  }
  return i == a.size() && b[i] == '\0';
}

bool EntryExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

// The entry of the folder whose name equals the wanted one but for ASCII
// case, the first such in byte order; empty when there is none.
std::string FindIgnoringCase(const std::string& folder,
                             const std::string& wanted) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr)
    return std::string();
  std::string found;
  // One thread only; readdir_r, which the check would have, is deprecated.
  // cppcheck-suppress readdirCalled
  while (const dirent* entry = readdir(dir)) {
    if (EqualIgnoringAsciiCase(wanted, entry->d_name) &&
        (found.empty() || found.compare(entry->d_name) > 0)) {
      found = entry->d_name;
    }
  }
  closedir(dir);
  return found;
}

// The component as this file system spells it, inside the folder resolved
// so far (empty or ending with a slash): as given when that exists, else the
// folder's entry that matches but for ASCII case. What cannot be matched
// stays as spelled, so that the lookup after it fails as it should.
std::string ResolveComponent(const std::string& resolved_folder,
                             const std::string& component) {
  if (component.empty() || component == "." || component == ".." ||
      EntryExists(resolved_folder + component))
    return component;
  std::string match = FindIgnoringCase(resolved_folder, component);
  return match.empty() ? component : match;
}

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

int Descriptor(FileId file) {
  return static_cast<int>(file);
}

}  // namespace

PosixPlatform::PosixPlatform(std::vector<std::string> arguments)
    : arguments_(std::move(arguments)) {}

std::string PosixPlatform::ArgumentText() {
  return RebuildArgumentText(arguments_);
}

// The program spells paths with backslashes and upper-case names; this file
// system wants slashes and may keep names in any case. The folders of a run
// are few and looked up again and again, so each is resolved once.
std::string PosixPlatform::ResolvePath(const std::string& path) {
  const std::size_t last_separator = path.find_last_of("\\/");
  if (last_separator == std::string::npos)
    return ResolveComponent(std::string(), path);
  const std::string folder = path.substr(0, last_separator + 1);
  auto known = resolved_folders_.find(folder);
  if (known == resolved_folders_.end()) {
    std::string resolved;
    std::string component;
    for (char c : folder) {
      if (!IsSeparator(c)) {
        component += c;
        continue;
      }
      resolved += ResolveComponent(resolved, component);
      resolved += '/';
      component.clear();
    }
    known = resolved_folders_.emplace(folder, std::move(resolved)).first;
  }
  return known->second +
         ResolveComponent(known->second, path.substr(last_separator + 1));
}

std::string PosixPlatform::UpperCase(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool PosixPlatform::FileExists(const std::string& path) {
  if (path.empty())
    return false;
  struct stat info;
  return stat(ResolvePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

FileId PosixPlatform::Open(const std::string& path, OpenMode mode) {
  if (path.empty())
    return kNoFile;
  // O_NONBLOCK: should a pipe have taken the file's place since it was
  // looked at, opening it must not wait for a writer.
  const int access = mode == OpenMode::ReadWrite ? O_RDWR : O_RDONLY;
  const int fd = open(ResolvePath(path).c_str(),
                      access | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0)
    return kNoFile;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return kNoFile;
  }
  return fd;
}

bool PosixPlatform::Length(FileId file, std::uint64_t* length) {
  struct stat info;
  if (fstat(Descriptor(file), &info) != 0 || info.st_size < 0)
    return false;
  *length = static_cast<std::uint64_t>(info.st_size);
  return true;
}

bool PosixPlatform::ReadAt(FileId file, std::uint64_t offset,
                           std::span<std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t got =
        pread(Descriptor(file), data.data() + done, data.size() - done,
              static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0)
      return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

bool PosixPlatform::WriteAt(FileId file, std::uint64_t offset,
                            std::span<const std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t put =
        pwrite(Descriptor(file), data.data() + done, data.size() - done,
               static_cast<off_t>(offset + done));
    if (put < 0 && errno == EINTR)
      continue;
    if (put <= 0)
      return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

bool PosixPlatform::Flush(FileId file) {
  return fsync(Descriptor(file)) == 0;
}

bool PosixPlatform::Close(FileId file) {
  return close(Descriptor(file)) == 0;
}

std::string PosixPlatform::ProgramExecutablePath() {
  // The file itself, not a link that was used to start it.
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size())
    return std::string();
  path.resize(static_cast<std::size_t>(length));
  return path;
}

FileId PosixPlatform::CreateBeside(const std::string& path,
                                   std::string* created_path) {
  const std::string resolved = ResolvePath(path);
  struct stat original;
  if (stat(resolved.c_str(), &original) != 0)
    return kNoFile;
  const std::size_t slash = resolved.rfind('/');
  std::string name = (slash == std::string::npos)
                         ? std::string()
                         : resolved.substr(0, slash + 1);
  name += ".zyr2font-XXXXXX";
  // A file-size limit must make the write fail, not end the program before
  // it can clean up.
  signal(SIGXFSZ, SIG_IGN);
  const int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0)
    return kNoFile;
  // The owner matters only where it can be kept; the permissions always.
  const int ignored = fchown(fd, original.st_uid, original.st_gid);
  static_cast<void>(ignored);
  if (fchmod(fd, original.st_mode & 07777) != 0) {
    close(fd);
    unlink(name.c_str());
    return kNoFile;
  }
  *created_path = name;
  return fd;
}

bool PosixPlatform::PutInPlace(const std::string& replacement,
                               const std::string& path) {
  const std::string target = ResolvePath(path);
  if (rename(ResolvePath(replacement).c_str(), target.c_str()) != 0)
    return false;
  // The rename is done; flushing the folder only makes it last through a
  // power cut, and its failure changes nothing that could be undone.
  const std::size_t slash = target.rfind('/');
  const std::string folder =
      slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
  return true;
}

bool PosixPlatform::RemoveFile(const std::string& path) {
  return unlink(ResolvePath(path).c_str()) == 0;
}

void PosixPlatform::ShowErrorBox(const std::string& caption,
                                 const std::string& message) {
  // No box on a terminal: the caption and the message on standard error,
  // each line break of the message as a plain line feed.
  std::string text = caption + ": ";
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message[i] == '\r' && i + 1 < message.size() && message[i + 1] == '\n')
      continue;
    text += message[i];
  }
  text += '\n';
  // A short message goes out in one piece; should stderr be closed there is
  // nowhere else to tell, and the exit status still does.
  const ssize_t ignored = write(STDERR_FILENO, text.data(), text.size());
  static_cast<void>(ignored);
}

}  // namespace mdlReplace
