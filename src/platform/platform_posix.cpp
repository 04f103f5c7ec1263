#include "platform/platform_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "base/names.h"
#include "platform/argument_text.h"

namespace mdlReplace {

namespace {

// Copies are hidden files of a short name of their own, this and six
// random characters, so that one fits in any folder that its file does.
constexpr char kCopyPrefix[] = ".zyr2font-";
constexpr std::size_t kCopyRandomLength = 6;
constexpr int kCopyAttempts = 100;
// Attaches that replaced the program while this one waited for its lock
// send it back to the new program; this many turns mean something is wrong.
constexpr int kLockAttempts = 1000;
constexpr std::size_t kCopyBufferSize = std::size_t{64} * 1024;
// A folder that reports a size beyond this is read in growing pieces.
constexpr off_t kListingReserveLimit = off_t{64} * 1024 * 1024;
// The running program's image, whatever has become of its name.
constexpr char kRunningImage[] = "/proc/self/exe";
// What the system adds to the name of a file that has lost it.
constexpr char kLostName[] = " (deleted)";
// The signals whose default action ends the program, besides the
// real-time ones; SIGKILL cannot be caught, and the copy it leaves goes
// with the next run that writes in that folder.
constexpr std::array kEndingSignals = {
    SIGHUP,    SIGINT,  SIGQUIT,   SIGILL,  SIGTRAP, SIGABRT, SIGBUS,
    SIGFPE,    SIGUSR1, SIGSEGV,   SIGUSR2, SIGPIPE, SIGALRM, SIGTERM,
    SIGXCPU,   SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGSYS,
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};

// The copy being written, which a signal that ends the program removes
// first, and a second descriptor of it that holds its lock until it is put
// in place or removed. Kept in a fixed buffer: the handler may not
// allocate.
char g_pending_copy[PATH_MAX + 1];
volatile std::sig_atomic_t g_copy_pending = 0;
int g_pending_lock = -1;

extern "C" void RemovePendingCopyAndEnd(int signal_number) {
  if (g_copy_pending != 0)
    unlink(g_pending_copy);
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

sigset_t EndingSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal_number : kEndingSignals)
    sigaddset(&set, signal_number);
  for (int signal_number = SIGRTMIN; signal_number <= SIGRTMAX; ++signal_number)
    sigaddset(&set, signal_number);
  return set;
}

// Holds back the ending signals while the record of the pending copy and
// the copy itself change together.
class EndingSignalsHeld {
 public:
  EndingSignalsHeld() {
    const sigset_t held = EndingSignals();
    sigprocmask(SIG_BLOCK, &held, &before_);
  }
  ~EndingSignalsHeld() { sigprocmask(SIG_SETMASK, &before_, nullptr); }
  EndingSignalsHeld(const EndingSignalsHeld&) = delete;
  EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

 private:
  sigset_t before_;
};

// Every ending signal that would end the program as it stands removes the
// copy first; one ignored, or caught by another (a sanitizer), is left so.
void RemoveCopyOnEndingSignals() {
  const sigset_t ending = EndingSignals();
  for (int signal_number = 1; signal_number < NSIG; ++signal_number) {
    struct sigaction action {};
    if (sigismember(&ending, signal_number) != 1 ||
        sigaction(signal_number, nullptr, &action) != 0 ||
        action.sa_handler != SIG_DFL)
      continue;
    action.sa_handler = RemovePendingCopyAndEnd;
    action.sa_mask = ending;
    action.sa_flags = 0;
    sigaction(signal_number, &action, nullptr);
  }
}

// Call with the ending signals held.
void RecordPendingCopy(const std::string& path, int lock) {
  g_copy_pending = 0;
  g_pending_lock = lock;
  if (path.size() >= sizeof(g_pending_copy))
    return;
  std::memcpy(g_pending_copy, path.c_str(), path.size() + 1);
  g_copy_pending = 1;
}

// The copy is in place or gone: its record and its lock go.
void ForgetPendingCopy(const std::string& path) {
  if (g_copy_pending != 0 && path != g_pending_copy)
    return;
  g_copy_pending = 0;
  if (g_pending_lock >= 0)
    close(g_pending_lock);
  g_pending_lock = -1;
}

bool EntryExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

int Descriptor(FileId file) {
  return static_cast<int>(file);
}

// Opens an ordinary file, or a pipe to read, at the native path.
// O_NONBLOCK: should a pipe stand there, opening it must not wait for a
// writer; it waits for data once open.
OpenedFile OpenNative(const std::string& path, OpenMode mode) {
  const int access = mode == OpenMode::ReadWrite ? O_RDWR : O_RDONLY;
  const int fd = open(path.c_str(), access | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  struct stat info;
  if (fd < 0) {
    // Refused only where an ordinary file is there to refuse.
    if (errno == ENOENT || stat(path.c_str(), &info) != 0)
      return OpenedFile{.found = Found::Absent};
    return OpenedFile{.found = S_ISREG(info.st_mode)   ? Found::Refused
                               : S_ISDIR(info.st_mode) ? Found::Folder
                                                       : Found::Other};
  }
  if (fstat(fd, &info) != 0 || info.st_size < 0) {
    close(fd);
    return OpenedFile{.found = Found::Refused};
  }
  if (S_ISFIFO(info.st_mode) && mode == OpenMode::Read &&
      fcntl(fd, F_SETFL, O_RDONLY) == 0) {
    OpenedFile stream{.found = Found::Stream};
    stream.id = fd;
    return stream;
  }
  if (!S_ISREG(info.st_mode)) {
    close(fd);
    return OpenedFile{.found =
                          S_ISDIR(info.st_mode) ? Found::Folder : Found::Other};
  }
  OpenedFile file{.found = Found::File};
  file.id = fd;
  file.length = static_cast<std::uint64_t>(info.st_size);
  file.has_holes =
      static_cast<std::uint64_t>(info.st_blocks) * 512 < file.length;
  return file;
}

bool SameInfo(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool SameFile(int fd, const std::string& path) {
  struct stat opened;
  struct stat named;
  return fstat(fd, &opened) == 0 && stat(path.c_str(), &named) == 0 &&
         SameInfo(opened, named);
}

bool SameFile(const std::string& a, const char* b) {
  struct stat first;
  struct stat second;
  return stat(a.c_str(), &first) == 0 && stat(b, &second) == 0 &&
         SameInfo(first, second);
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
    int locked;
    do {
      locked = flock(fd, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
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

// Writes as much of data as the file takes; a refused write (a full disk,
// the file-size limit) ends it.
std::size_t WriteFully(int fd, std::uint64_t offset,
                       std::span<const std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t put = pwrite(fd, data.data() + done, data.size() - done,
                               static_cast<off_t>(offset + done));
    if (put < 0 && errno == EINTR)
      continue;
    if (put <= 0)
      break;
    done += static_cast<std::size_t>(put);
  }
  return done;
}

bool CopyWithBuffer(int from, int to, std::uint64_t offset,
                    std::uint64_t length) {
  std::array<std::uint8_t, kCopyBufferSize> buffer;
  while (offset < length) {
    const std::size_t chunk = static_cast<std::size_t>(
        std::min<std::uint64_t>(buffer.size(), length - offset));
    const ssize_t got =
        pread(from, buffer.data(), chunk, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0)
      return false;
    const std::span<const std::uint8_t> piece(buffer.data(),
                                              static_cast<std::size_t>(got));
    if (WriteFully(to, offset, piece) != piece.size())
      return false;
    offset += piece.size();
  }
  return true;
}

bool NamesUtf8(const char* value) {
  std::string upper = AsciiUpperCase(value);
  return upper.find("UTF-8") != std::string::npos ||
         upper.find("UTF8") != std::string::npos;
}

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

PosixPlatform::~PosixPlatform() {
  if (g_copy_pending == 0)
    return;
  EndingSignalsHeld held;
  unlink(g_pending_copy);
  ForgetPendingCopy(g_pending_copy);
}

std::string PosixPlatform::ArgumentText() {
  return RebuildArgumentText(arguments_);
}

std::vector<std::string> PosixPlatform::SplitArguments() {
  return arguments_;
}

OpenedFile PosixPlatform::Open(const std::string& path, Naming naming,
                               OpenMode mode) {
  if (path.empty())
    return OpenedFile{.found = Found::Absent};
  if (naming == Naming::Exact)
    return OpenNative(path, mode);
  OpenedFile file{.found = Found::Absent};
  names_.Find(path, [&](const std::string& native) {
    file = OpenNative(native, mode);
    return file.found != Found::Absent;
  });
  return file;
}

bool PosixFolders::Exists(const std::string& path) {
  return EntryExists(path);
}

// The folder's own size is about the bytes its names take, so they go into
// one block that rarely has to move.
void PosixFolders::List(const std::string& folder, FolderNames* names) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr)
    return;
  struct stat info;
  if (fstat(dirfd(dir), &info) == 0 && info.st_size > 0)
    names->Reserve(static_cast<std::size_t>(
        std::min<off_t>(info.st_size, kListingReserveLimit)));
  // One thread only; readdir_r, which the check would have, is deprecated.
  // cppcheck-suppress readdirCalled
  while (const dirent* entry = readdir(dir))
    names->Add(entry->d_name);
  closedir(dir);
}

OpenedFile PosixPlatform::OpenRunningProgram() {
  return OpenNative(kRunningImage, OpenMode::Read);
}

OpenedFile PosixPlatform::OpenLocked(const std::string& path) {
  if (path.empty())
    return OpenedFile{.found = Found::Absent};
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    const OpenedFile file = OpenNative(path, OpenMode::Read);
    if (file.found != Found::File)
      return file;
    const int fd = Descriptor(file.id);
    int locked;
    do {
      locked = flock(fd, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
      close(fd);
      return OpenedFile{.found = Found::Refused};
    }
    if (SameFile(fd, path))
      return file;
    // The holder before put a new file in its place: lock that one.
    close(fd);
  }
  return OpenedFile{.found = Found::Refused};
}

bool PosixPlatform::Reserve(FileId file, std::uint64_t offset,
                            std::uint64_t length) {
#ifdef __linux__
  // Mode 0 within the file's length: blocks only, no new length, no new
  // bytes. Where the file system cannot, the write itself has to do.
  for (;;) {
    if (fallocate(Descriptor(file), 0, static_cast<off_t>(offset),
                  static_cast<off_t>(length)) == 0)
      return true;
    if (errno == EINTR)
      continue;
    return errno == EOPNOTSUPP || errno == ENOSYS;
  }
#else
  static_cast<void>(file);
  static_cast<void>(offset);
  static_cast<void>(length);
  return true;
#endif
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

bool PosixPlatform::ReadStream(FileId file, std::size_t limit,
                               std::vector<std::uint8_t>* bytes) {
  std::array<std::uint8_t, kCopyBufferSize> piece;
  for (;;) {
    const ssize_t got = read(Descriptor(file), piece.data(), piece.size());
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return false;
    if (got == 0)
      return true;
    bytes->insert(bytes->end(), piece.begin(), piece.begin() + got);
    if (bytes->size() > limit)
      return false;
  }
}

std::size_t PosixPlatform::WriteAt(FileId file, std::uint64_t offset,
                                   std::span<const std::uint8_t> data) {
  return WriteFully(Descriptor(file), offset, data);
}

bool PosixPlatform::CopyInto(FileId from, FileId to, std::uint64_t length) {
#ifdef __linux__
  // In the kernel, without the bytes passing through the program; across
  // file systems, or where the kernel cannot, through a fixed buffer.
  loff_t in = 0;
  loff_t out = 0;
  while (static_cast<std::uint64_t>(in) < length) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(
        length - static_cast<std::uint64_t>(in), 1u << 30));
    const ssize_t copied =
        copy_file_range(Descriptor(from), &in, Descriptor(to), &out, chunk, 0);
    if (copied > 0)
      continue;
    if (copied < 0 && errno == EINTR)
      continue;
    if (copied == 0 || (errno != EXDEV && errno != ENOSYS &&
                        errno != EOPNOTSUPP && errno != EINVAL))
      return false;
    break;
  }
  return CopyWithBuffer(Descriptor(from), Descriptor(to),
                        static_cast<std::uint64_t>(in), length);
#else
  return CopyWithBuffer(Descriptor(from), Descriptor(to), 0, length);
#endif
}

bool PosixPlatform::Flush(FileId file) {
  return fsync(Descriptor(file)) == 0;
}

bool PosixPlatform::Close(FileId file) {
  return close(Descriptor(file)) == 0;
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
                                   std::string* created_path) {
  // A file its user may not write is not replaced, even where the folder
  // would allow the rename.
  if (EntryExists(path) &&
      faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
    return kNoFile;
  const std::string folder(FolderOf(path, kSlashOnly));
  RemoveLeftoverCopies(folder);
  RemoveCopyOnEndingSignals();
  std::string name;
  const int fd = CreateLockedCopy(folder, &name);
  if (fd < 0)
    return kNoFile;
  if (!SetPermissions(fd, path)) {
    close(fd);
    RemoveFile(name);
    return kNoFile;
  }
  *created_path = name;
  return fd;
}

bool PosixPlatform::PutInPlace(const std::string& replacement,
                               const std::string& path) {
  {
    EndingSignalsHeld held;
    if (rename(replacement.c_str(), path.c_str()) != 0)
      return false;
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

// On a terminal a notice is a line on standard error, as an error is.
void PosixPlatform::ShowNoticeBox(const std::string& caption,
                                  const std::string& message) {
  ShowErrorBox(caption, message);
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

Drawing PosixPlatform::OutputDrawing() {
  // The locale's character set, as the C library would find it.
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != '\0')
      return NamesUtf8(value) ? Drawing::Blocks : Drawing::Ascii;
  }
  return Drawing::Ascii;
}

Output PosixPlatform::PrintOutput(const std::string& /*caption*/,
                                  const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t put =
        write(STDOUT_FILENO, text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR)
      continue;
    if (put < 0 && errno == EPIPE)
      return Output::ReaderGone;
    if (put <= 0)
      return Output::Failed;
    done += static_cast<std::size_t>(put);
  }
  return Output::Shown;
}

bool PosixPlatform::ShowPicture(const std::string& /*title*/,
                                const Picture& /*picture*/) {
  return false;  // a terminal shows text
}

}  // namespace mdlReplace
