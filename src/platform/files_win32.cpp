// The Windows platform's files: open, read, write, copy, flush, close.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/helpers_win32.h"
#include "platform/platform_win32.h"

namespace mdlReplace {

namespace {

constexpr std::size_t kCopyBufferSize = std::size_t{64} * 1024;

// ReadFile and WriteFile move at most a DWORD at a time.
DWORD Chunk(std::size_t remaining) {
  return static_cast<DWORD>(std::min<std::size_t>(remaining, 1u << 30));
}

bool IsHiddenOrSystem(DWORD attributes) {
  return (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

// A disc, or a volume that says it is read-only. A file copied from a disc
// keeps its read-only mark, and on the disc that mark is not the reason.
bool OnReadOnlyMedium(const std::wstring& path) {
  std::wstring root(MAX_PATH + 1, L'\0');
  if (!GetVolumePathNameW(path.c_str(), root.data(),
                          static_cast<DWORD>(root.size())))
    return false;
  root.resize(wcslen(root.c_str()));
  DWORD flags = 0;
  const bool described =
      GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, &flags,
                            nullptr, 0) != 0;
  return (described && (flags & FILE_READ_ONLY_VOLUME) != 0) ||
         GetDriveTypeW(root.c_str()) == DRIVE_CDROM;
}

// A write refused for want of room or past the largest file.
Refusal WhyWriteFailed(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return Refusal::DiskFull;
    case ERROR_FILE_TOO_LARGE:
      return Refusal::TooLarge;
    default:
      return Refusal::Unknown;
  }
}

}  // namespace

Refusal WhyRefused(DWORD error, const std::wstring& path, DWORD attributes) {
  switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return Refusal::InUse;
    case ERROR_WRITE_PROTECT:
      return Refusal::ReadOnlyMedium;
    case ERROR_ACCESS_DENIED:
      if (OnReadOnlyMedium(path))
        return Refusal::ReadOnlyMedium;
      return attributes != INVALID_FILE_ATTRIBUTES &&
                     (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                     (attributes & FILE_ATTRIBUTE_READONLY) != 0
                 ? Refusal::ReadOnlyFile
                 : Refusal::Denied;
    default:
      return WhyWriteFailed(error);
  }
}

std::string SystemWords(DWORD error) {
  wchar_t* words = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
  if (length == 0 || words == nullptr)
    return "Windows error " + std::to_string(error) + ".";
  std::wstring text(words, length);
  LocalFree(words);
  while (!text.empty() &&
         (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
    text.pop_back();
  return Narrow(text);
}

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED overlapped{};
  overlapped.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return overlapped;
}

OpenedFile Win32Platform::OpenShared(const std::string& path, bool write,
                                     unsigned long share) {
  if (path.empty())
    return OpenedFile{.found = Found::Absent};
  // Names with * or ? are no file at all here, never patterns.
  const std::wstring wide = Wide(path);
  const HANDLE file = CreateFileW(
      wide.c_str(), GENERIC_READ | (write ? GENERIC_WRITE : 0), share, nullptr,
      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    // Refused only where an ordinary file is there to refuse; a folder
    // cannot be opened this way.
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
      return OpenedFile{.found = Found::Absent};
    OpenedFile refused{.found = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                                    ? Found::Folder
                                    : Found::Refused};
    refused.hidden = IsHiddenOrSystem(attributes);
    refused.refusal = WhyRefused(error, wide, attributes);
    return refused;
  }
  const DWORD type = GetFileType(file);
  if (type == FILE_TYPE_PIPE && !write) {
    OpenedFile stream{.found = Found::Stream};
    stream.id = Adopt(file);
    return stream;
  }
  BY_HANDLE_FILE_INFORMATION info;
  const bool described =
      type == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) != 0;
  const bool folder =
      described && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (!described || folder) {
    CloseHandle(file);
    return OpenedFile{.found = folder ? Found::Folder : Found::Other};
  }
  OpenedFile opened{.found = Found::File};
  opened.id = Adopt(file);
  opened.length = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) |
                  info.nFileSizeLow;
  opened.has_holes = (info.dwFileAttributes & FILE_ATTRIBUTE_SPARSE_FILE) != 0;
  opened.hidden = IsHiddenOrSystem(info.dwFileAttributes);
  return opened;
}

OpenedFile Win32Platform::Open(const std::string& path, Naming /*naming*/,
                               OpenMode mode) {
  // Names compare without case and either slash separates folders, so a
  // spelled path is already the exact one.
  const bool write = mode == OpenMode::ReadWrite;
  // While the font goes in, nobody else may write the file.
  return OpenShared(path, write,
                    FILE_SHARE_READ | (write ? 0 : FILE_SHARE_WRITE));
}

// Windows names its pipes apart from files (\\.\pipe\), where no font of
// a player's lies: a look opens what it looks at, as a device must be
// opened to be told from a file.
Found Win32Platform::Look(const std::string& path) {
  const OpenedFile file = Open(path, Naming::Exact, OpenMode::Read);
  if (file.found == Found::File || file.found == Found::Stream)
    Close(file.id);
  return file.found == Found::Refused ? Found::File : file.found;
}

bool Win32Platform::Reserve(FileId /*file*/, std::uint64_t /*offset*/,
                            std::uint64_t /*length*/) {
  // No call reserves a range here; should the write be refused part way,
  // the bytes that were there go back.
  return true;
}

bool Win32Platform::ReadAt(FileId file, std::uint64_t offset,
                           std::span<std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    OVERLAPPED at = At(offset + done);
    DWORD got = 0;
    if (!ReadFile(Handle(file), data.data() + done, Chunk(data.size() - done),
                  &got, &at) ||
        got == 0)
      return false;
    done += got;
  }
  return true;
}

bool Win32Platform::ReadNext(FileId file, std::span<std::uint8_t> data,
                             std::size_t* got) {
  DWORD read_now = 0;
  *got = 0;
  if (!ReadFile(Handle(file), data.data(), Chunk(data.size()), &read_now,
                nullptr))
    return GetLastError() == ERROR_BROKEN_PIPE;  // the writer is done
  *got = read_now;
  return true;
}

bool Win32Platform::ReadStream(FileId file, std::size_t limit,
                               std::vector<std::uint8_t>* bytes) {
  std::vector<std::uint8_t> piece(kCopyBufferSize);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(Handle(file), piece.data(), static_cast<DWORD>(piece.size()),
                  &got, nullptr))
      return GetLastError() == ERROR_BROKEN_PIPE;  // the writer is done
    if (got == 0)
      return true;
    bytes->insert(bytes->end(), piece.begin(), piece.begin() + got);
    if (bytes->size() > limit)
      return false;
  }
}

std::size_t Win32Platform::WriteAt(FileId file, std::uint64_t offset,
                                   std::span<const std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    OVERLAPPED at = At(offset + done);
    DWORD put = 0;
    const bool wrote = WriteFile(Handle(file), data.data() + done,
                                 Chunk(data.size() - done), &put, &at);
    done += put;
    if (!wrote || put == 0) {
      write_failure_ = WhyWriteFailed(GetLastError());
      break;
    }
  }
  return done;
}

bool Win32Platform::CopyInto(FileId from, FileId to, std::uint64_t length) {
  std::vector<std::uint8_t> buffer(kCopyBufferSize);
  for (std::uint64_t offset = 0; offset < length;) {
    const std::size_t chunk = static_cast<std::size_t>(
        std::min<std::uint64_t>(buffer.size(), length - offset));
    const std::span<std::uint8_t> piece(buffer.data(), chunk);
    if (!ReadAt(from, offset, piece) ||
        WriteAt(to, offset, piece) != piece.size())
      return false;
    offset += chunk;
  }
  return true;
}

bool Win32Platform::Flush(FileId file) {
  if (FlushFileBuffers(Handle(file)) != 0)
    return true;
  write_failure_ = WhyWriteFailed(GetLastError());
  return false;
}

bool Win32Platform::Close(FileId file) {
  const HANDLE handle = Handle(file);
  handles_.erase(file);
  return handle != INVALID_HANDLE_VALUE && CloseHandle(handle) != 0;
}

FileId Win32Platform::Adopt(HANDLE handle) {
  const FileId file = next_file_++;
  handles_[file] = handle;
  return file;
}

HANDLE Win32Platform::Handle(FileId file) const {
  const auto found = handles_.find(file);
  return found == handles_.end() ? INVALID_HANDLE_VALUE : found->second;
}

}  // namespace mdlReplace
