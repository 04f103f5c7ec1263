// Replacing a file beside it on Windows: the copy, the rename (a running
// program moved aside), the lock that attaches take turns by, and what
// runs cut short left behind.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cwchar>

#include "base/names.h"
#include "platform/helpers_win32.h"
#include "platform/lock_turns.h"
#include "platform/platform_win32.h"

namespace mdlReplace {

namespace {

// Names only this program makes, short enough for any folder: this, a tag
// of sixteen hex digits, and one of the suffixes. A copy being written, to
// replace a file in the same folder; and a file moved aside for its
// successor (a running program, which cannot be overwritten).
constexpr wchar_t kOwnPrefix[] = L"~zyr2font-";
constexpr wchar_t kCopySuffix[] = L".new";
constexpr wchar_t kAsideSuffix[] = L".old";
constexpr std::size_t kTagLength = 16;
// A copy of one's own that is closed and has not changed for this long
// belongs to a run that was cut short: a running one puts its closed copy
// in place at once. In 100-nanosecond units, a minute.
constexpr std::uint64_t kLeftoverAge = 60ull * 10000000ull;
constexpr int kNameAttempts = 100;
// The lock is on one byte far past the end of any program: attaches wait
// for each other, and nobody's reading of the program is ever held up.
constexpr std::uint64_t kLockOffset = 0x4000000000000000ull;

// Sixteen hex digits that no other name made here, now or before, is
// likely to have; the callers still never open an existing file by it.
std::wstring UniqueTag() {
  static std::uint64_t counter = 0;
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  std::uint64_t value =
      (static_cast<std::uint64_t>(GetCurrentProcessId()) << 40) ^
      static_cast<std::uint64_t>(now.QuadPart) ^
      (++counter * 0x9E3779B97F4A7C15ull);
  std::wstring tag(kTagLength, L'0');
  for (std::size_t i = kTagLength; i-- > 0; value >>= 4)
    tag[i] = L"0123456789abcdef"[value & 0xF];
  return tag;
}

// A name of the program's own, with the suffix.
std::wstring OwnName(const wchar_t* suffix) {
  return kOwnPrefix + UniqueTag() + suffix;
}

// Whether the entry is a name of the program's own with the suffix.
bool IsOwnName(const std::wstring& entry, const wchar_t* suffix) {
  const std::size_t prefix = std::wcslen(kOwnPrefix);
  const std::size_t end = std::wcslen(suffix);
  if (entry.size() != prefix + kTagLength + end ||
      entry.compare(0, prefix, kOwnPrefix) != 0 ||
      entry.compare(prefix + kTagLength, end, suffix) != 0)
    return false;
  return std::all_of(
      entry.begin() + static_cast<std::ptrdiff_t>(prefix),
      entry.begin() + static_cast<std::ptrdiff_t>(prefix + kTagLength),
      [](wchar_t c) {
        return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f');
      });
}

std::uint64_t Ticks(const FILETIME& time) {
  return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 |
         time.dwLowDateTime;
}

// The path of the file the handle has open, after every link, where the
// system can tell (from Vista on; before it files had no links).
std::wstring FinalPath(HANDLE file, const std::wstring& path) {
  using GetFinalPath = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto get_final_path =
      kernel == nullptr
          ? nullptr
          : reinterpret_cast<GetFinalPath>(reinterpret_cast<void*>(
                GetProcAddress(kernel, "GetFinalPathNameByHandleW")));
  if (get_final_path == nullptr)
    return path;
  std::wstring final_path(MAX_PATH, L'\0');
  DWORD length = get_final_path(file, final_path.data(),
                                static_cast<DWORD>(final_path.size()), 0);
  if (length >= final_path.size()) {
    final_path.resize(length + 1);
    length = get_final_path(file, final_path.data(),
                            static_cast<DWORD>(final_path.size()), 0);
  }
  if (length == 0 || length >= final_path.size())
    return path;
  final_path.resize(length);
  return final_path;
}

bool SameFile(HANDLE opened, const std::wstring& path) {
  const HANDLE named =
      CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (named == INVALID_HANDLE_VALUE)
    return false;
  BY_HANDLE_FILE_INFORMATION a;
  BY_HANDLE_FILE_INFORMATION b;
  const bool same = GetFileInformationByHandle(opened, &a) &&
                    GetFileInformationByHandle(named, &b) &&
                    a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                    a.nFileIndexHigh == b.nFileIndexHigh &&
                    a.nFileIndexLow == b.nFileIndexLow;
  CloseHandle(named);
  return same;
}

// A new name the folder refused, or a rename in it: the reason, and
// Windows' own words where the program tells it apart from none.
WriteRefusal FolderRefusal(DWORD error, const std::wstring& folder) {
  WriteRefusal why{
      .reason = WhyRefused(error, folder, GetFileAttributesW(folder.c_str())),
      .in_folder = true};
  if (why.reason == Refusal::Unknown)
    why.system_words = SystemWords(error);
  return why;
}

}  // namespace

// Removes what earlier runs left in the folder under names of the
// program's own: copies they were cut short from putting in place, and
// programs moved aside that have stopped running. A file still open, or
// running, cannot be deleted, and a copy written within the last minute is
// left to its run. A program moved aside can go as soon as it stops.
void RemoveLeftovers(const std::wstring& folder) {
  FILETIME now_time;
  GetSystemTimeAsFileTime(&now_time);
  const std::uint64_t now = Ticks(now_time);
  WIN32_FIND_DATAW found;
  const HANDLE search =
      FindFirstFileW((folder + kOwnPrefix + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return;
  do {
    const bool old_enough = now - Ticks(found.ftLastWriteTime) > kLeftoverAge;
    const bool leftover =
        IsOwnName(found.cFileName, kAsideSuffix) ||
        (IsOwnName(found.cFileName, kCopySuffix) && old_enough);
    if (leftover && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      DeleteFileW((folder + found.cFileName).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

OpenedFile Win32Platform::OpenLocked(const std::string& path) {
  return OpenLockedInTurn(LockSteps{
      // Shared for deletion, so that the program can still be moved aside.
      .open =
          [&] {
            return OpenShared(path, false, FILE_SHARE_READ | FILE_SHARE_DELETE);
          },
      .lock =
          [&](FileId file) {
            OVERLAPPED at = At(kLockOffset);
            return LockFileEx(Handle(file), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0,
                              &at) != 0;
          },
      .still_named =
          [&](FileId file) { return SameFile(Handle(file), Wide(path)); },
      .close = [&](FileId file) { Close(file); },
  });
}

Replaced Win32Platform::FindReplaced(const std::string& path,
                                     std::string* final_path) {
  *final_path = path;
  const std::wstring wide = Wide(path);
  // Through any link; a folder opens only with backup semantics.
  const HANDLE file =
      CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
      return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                 ? Replaced::DanglingLink
                 : Replaced::NotAFile;
    return attributes == INVALID_FILE_ATTRIBUTES ? Replaced::New
                                                 : Replaced::NotAFile;
  }
  BY_HANDLE_FILE_INFORMATION info;
  const bool ordinary = GetFileType(file) == FILE_TYPE_DISK &&
                        GetFileInformationByHandle(file, &info) &&
                        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  if (ordinary)
    *final_path = Narrow(FinalPath(file, wide));
  CloseHandle(file);
  return ordinary ? Replaced::File : Replaced::NotAFile;
}

FileId Win32Platform::CreateBeside(const std::string& path,
                                   std::string* created_path,
                                   WriteRefusal* why) {
  const std::wstring original = Wide(path);
  const DWORD attributes = GetFileAttributesW(original.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    *why = WriteRefusal{
        .reason = WhyRefused(ERROR_ACCESS_DENIED, original, attributes)};
    return kNoFile;
  }
  const std::wstring folder = WideFolderOf(path);
  RemoveLeftovers(folder);
  // CREATE_NEW: a file or a link that is already there under the name is
  // never written through; another name is tried instead. The new file
  // takes the folder's permissions, as the original did.
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::wstring copy = folder + OwnName(kCopySuffix);
    const HANDLE file =
        CreateFileW(copy.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      *created_path = Narrow(copy);
      return Adopt(file);
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      *why = FolderRefusal(error, folder);
      return kNoFile;
    }
  }
  return kNoFile;
}

bool Win32Platform::PutInPlace(const std::string& replacement,
                               const std::string& path, WriteRefusal* why) {
  const std::wstring target = Wide(path);
  const std::wstring copy = Wide(replacement);
  const std::wstring folder = WideFolderOf(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (MoveFileExW(copy.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
      return true;
    *why = FolderRefusal(GetLastError(), folder);
    return false;
  }
  // Only an ordinary file is ever replaced, or moved aside.
  if ((attributes &
       (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
    return false;
  if (MoveFileExW(copy.c_str(), target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  // A running program cannot be overwritten or deleted, but it can be
  // renamed: move it aside, move the new one in, and remove the old one
  // when it is no longer running (at the latest at the next start).
  const std::wstring aside = folder + OwnName(kAsideSuffix);
  if (!MoveFileExW(target.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH)) {
    *why = FolderRefusal(GetLastError(), folder);
    return false;
  }
  if (!MoveFileExW(copy.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
    *why = FolderRefusal(GetLastError(), folder);
    MoveFileExW(aside.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    return false;
  }
  DeleteFileW(aside.c_str());
  return true;
}

bool Win32Platform::RemoveFile(const std::string& path) {
  return DeleteFileW(Wide(path).c_str()) != 0;
}

}  // namespace mdlReplace
