#include "platform/platform_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>

#include "platform/argument_text.h"

namespace mdlReplace {

namespace {

// Where a running program is moved while its successor takes its place;
// one fixed name, so that leftovers never pile up.
constexpr wchar_t kAsideSuffix[] = L".old";
constexpr wchar_t kCopySuffix[] = L".new";

std::wstring Wide(const std::string& text) {
  if (text.empty())
    return std::wstring();
  const int size = MultiByteToWideChar(
      CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(size, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                      wide.data(), size);
  return wide;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty())
    return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(),
                                       static_cast<int>(text.size()), nullptr,
                                       0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(std::max(size, 0)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                      narrow.data(), size, nullptr, nullptr);
  return narrow;
}

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED overlapped{};
  overlapped.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return overlapped;
}

// ReadFile and WriteFile move at most a DWORD at a time.
DWORD Chunk(std::size_t remaining) {
  return static_cast<DWORD>(std::min<std::size_t>(remaining, 1u << 30));
}

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(),
                                            static_cast<DWORD>(path.size()));
    if (length == 0)
      return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768)
      return std::wstring();
    path.resize(path.size() * 2);
  }
}

}  // namespace

Win32Platform::Win32Platform() {
  const std::wstring program = ModulePath();
  if (!program.empty())
    DeleteFileW((program + kAsideSuffix).c_str());
}

std::string Win32Platform::ArgumentText() {
  return Narrow(SkipProgramName(GetCommandLineW()));
}

std::string Win32Platform::UpperCase(const std::string& text) {
  std::wstring wide = Wide(text);
  if (!wide.empty())
    CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return Narrow(wide);
}

bool Win32Platform::FileExists(const std::string& path) {
  if (path.empty())
    return false;
  // Names with * or ? are no file at all here, never patterns.
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return false;
  const DWORD not_a_target =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (attributes & not_a_target) == 0;
}

FileId Win32Platform::Open(const std::string& path, OpenMode mode) {
  if (path.empty())
    return kNoFile;
  const bool write = mode == OpenMode::ReadWrite;
  // While the font goes in, nobody else may write the file.
  const HANDLE file = CreateFileW(
      Wide(path).c_str(), GENERIC_READ | (write ? GENERIC_WRITE : 0),
      FILE_SHARE_READ | (write ? 0 : FILE_SHARE_WRITE), nullptr, OPEN_EXISTING,
      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return kNoFile;
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return kNoFile;
  }
  return Adopt(file);
}

bool Win32Platform::Length(FileId file, std::uint64_t* length) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(Handle(file), &size) || size.QuadPart < 0)
    return false;
  *length = static_cast<std::uint64_t>(size.QuadPart);
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

bool Win32Platform::WriteAt(FileId file, std::uint64_t offset,
                            std::span<const std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    OVERLAPPED at = At(offset + done);
    DWORD put = 0;
    if (!WriteFile(Handle(file), data.data() + done, Chunk(data.size() - done),
                   &put, &at) ||
        put == 0)
      return false;
    done += put;
  }
  return true;
}

bool Win32Platform::Flush(FileId file) {
  return FlushFileBuffers(Handle(file)) != 0;
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

std::string Win32Platform::ProgramExecutablePath() {
  return Narrow(ModulePath());
}

FileId Win32Platform::CreateBeside(const std::string& path,
                                   std::string* created_path) {
  // One fixed name beside the original: a copy left by a crash is simply
  // replaced by the next attempt. The new file takes the folder's
  // permissions, as the original did.
  const std::wstring copy = Wide(path) + kCopySuffix;
  const HANDLE file =
      CreateFileW(copy.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return kNoFile;
  *created_path = Narrow(copy);
  return Adopt(file);
}

bool Win32Platform::PutInPlace(const std::string& replacement,
                               const std::string& path) {
  // A running program cannot be overwritten or deleted, but it can be
  // renamed: move it aside, move the new one in, and remove the old one
  // when it is no longer running (at the latest at the next start).
  const std::wstring target = Wide(path);
  const std::wstring aside = target + kAsideSuffix;
  DeleteFileW(aside.c_str());
  if (!MoveFileExW(target.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH))
    return false;
  if (!MoveFileExW(Wide(replacement).c_str(), target.c_str(),
                   MOVEFILE_WRITE_THROUGH)) {
    MoveFileExW(aside.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    return false;
  }
  DeleteFileW(aside.c_str());
  return true;
}

bool Win32Platform::RemoveFile(const std::string& path) {
  return DeleteFileW(Wide(path).c_str()) != 0;
}

void Win32Platform::ShowErrorBox(const std::string& caption,
                                 const std::string& message) {
  MessageBoxW(nullptr, Wide(message).c_str(), Wide(caption).c_str(),
              MB_OK | MB_ICONERROR);
}

}  // namespace mdlReplace
