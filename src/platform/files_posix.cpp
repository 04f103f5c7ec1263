// The POSIX platform's files: open, read, write, copy, flush, close.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "platform/helpers_posix.h"
#include "platform/platform_posix.h"

namespace mdlReplace {

namespace {

constexpr std::size_t kCopyBufferSize = std::size_t{64} * 1024;

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

// Copies the first length bytes, in the kernel where it can, without the
// bytes passing through the program; across file systems, or where the
// kernel cannot, through a fixed buffer.
bool CopyFile(int from, int to, std::uint64_t length) {
#ifdef __linux__
  loff_t in = 0;
  loff_t out = 0;
  while (static_cast<std::uint64_t>(in) < length) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(
        length - static_cast<std::uint64_t>(in), 1u << 30));
    const ssize_t copied = copy_file_range(from, &in, to, &out, chunk, 0);
    if (copied > 0)
      continue;
    if (copied < 0 && errno == EINTR)
      continue;
    if (copied == 0 || (errno != EXDEV && errno != ENOSYS &&
                        errno != EOPNOTSUPP && errno != EINVAL))
      return false;
    break;
  }
  return CopyWithBuffer(from, to, static_cast<std::uint64_t>(in), length);
#else
  return CopyWithBuffer(from, to, 0, length);
#endif
}

}  // namespace

Refusal WhyRefused(int error) {
  switch (error) {
    case EROFS:
      return Refusal::ReadOnlyMedium;
    case ETXTBSY:
      return Refusal::InUse;
    case EACCES:
    case EPERM:
      return Refusal::Denied;
    case ENOSPC:
    case EDQUOT:
      return Refusal::DiskFull;
    case EFBIG:
      return Refusal::TooLarge;
    default:
      return Refusal::Unknown;
  }
}

bool EntryExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

// Everything is opened with O_NONBLOCK, so that a pipe named like a game
// file does not hold the run waiting for a writer. A pipe to be read is
// then opened again as any reader opens one, waiting for its writer:
// opened without waiting, a named pipe whose writer comes late reads as
// empty. The first stays open until then, so that a writer it let in
// never finds the pipe without a reader.
OpenedFile OpenNative(const std::string& path, OpenMode mode) {
  const int access = mode == OpenMode::ReadWrite ? O_RDWR : O_RDONLY;
  const int fd = open(path.c_str(), access | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  struct stat info;
  if (fd < 0) {
    // Refused only where an ordinary file is there to refuse.
    const int error = errno;
    if (error == ENOENT || stat(path.c_str(), &info) != 0)
      return OpenedFile{.found = Found::Absent};
    return OpenedFile{.found = S_ISREG(info.st_mode)   ? Found::Refused
                               : S_ISDIR(info.st_mode) ? Found::Folder
                                                       : Found::Other,
                      .refusal = WhyRefused(error)};
  }
  if (fstat(fd, &info) != 0 || info.st_size < 0) {
    close(fd);
    return OpenedFile{.found = Found::Refused};
  }
  if (S_ISFIFO(info.st_mode) && mode == OpenMode::ReadAtOnce) {
    OpenedFile stream{.found = Found::Stream};
    stream.id = fd;
    return stream;
  }
  if (S_ISFIFO(info.st_mode) && mode == OpenMode::Read) {
    const int waiting = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    const int error = errno;
    close(fd);
    if (waiting < 0)
      return OpenedFile{.found = Found::Refused, .refusal = WhyRefused(error)};
    OpenedFile stream{.found = Found::Stream};
    stream.id = waiting;
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

Found PosixPlatform::Look(const std::string& path) {
  struct stat info;
  if (path.empty() || stat(path.c_str(), &info) != 0)
    return Found::Absent;
  if (S_ISREG(info.st_mode))
    return Found::File;
  if (S_ISDIR(info.st_mode))
    return Found::Folder;
  return S_ISFIFO(info.st_mode) ? Found::Stream : Found::Other;
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
    if (errno == EOPNOTSUPP || errno == ENOSYS)
      return true;
    write_failure_ = WhyRefused(errno);
    return false;
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

bool PosixPlatform::ReadNext(FileId file, std::span<std::uint8_t> data,
                             std::size_t* got) {
  for (;;) {
    const ssize_t read_now = read(Descriptor(file), data.data(), data.size());
    if (read_now < 0 && errno == EINTR)
      continue;
    if (read_now < 0)
      return false;
    *got = static_cast<std::size_t>(read_now);
    return true;
  }
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
  errno = 0;
  const std::size_t written = WriteFully(Descriptor(file), offset, data);
  if (written < data.size())
    write_failure_ = WhyRefused(errno);
  return written;
}

bool PosixPlatform::CopyInto(FileId from, FileId to, std::uint64_t length) {
  errno = 0;
  if (CopyFile(Descriptor(from), Descriptor(to), length))
    return true;
  write_failure_ = WhyRefused(errno);
  return false;
}

bool PosixPlatform::Flush(FileId file) {
  if (fsync(Descriptor(file)) == 0)
    return true;
  write_failure_ = WhyRefused(errno);
  return false;
}

bool PosixPlatform::Close(FileId file) {
  return close(Descriptor(file)) == 0;
}

}  // namespace mdlReplace
