#include "platform/platform_win32.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cwchar>
#include <vector>

#include "platform/argument_text.h"

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
// Attaches that replaced the program while this one waited for its lock
// send it back to the new program; this many turns mean something is wrong.
constexpr int kLockAttempts = 1000;
// The lock is on one byte far past the end of any program: attaches wait
// for each other, and nobody's reading of the program is ever held up.
constexpr std::uint64_t kLockOffset = 0x4000000000000000ull;
constexpr std::size_t kCopyBufferSize = std::size_t{64} * 1024;

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

// Each line ending with carriage return and line feed, as Windows shows
// text.
std::string WithCrLf(const std::string& text) {
  std::string converted;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
      converted += '\r';
    converted += text[i];
  }
  return converted;
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

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring()
                                         : path.substr(0, separator + 1);
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

bool IsHiddenOrSystem(DWORD attributes) {
  return (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
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

}  // namespace

Win32Platform::Win32Platform() {
  const std::wstring program = ModulePath();
  if (!program.empty())
    RemoveLeftovers(FolderOf(program));
}

std::string Win32Platform::ArgumentText() {
  return Narrow(SkipProgramName(GetCommandLineW()));
}

std::vector<std::string> Win32Platform::SplitArguments() {
  int count = 0;
  LPWSTR* split = CommandLineToArgvW(GetCommandLineW(), &count);
  if (split == nullptr)
    return {};
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i)
    arguments.push_back(Narrow(split[i]));
  LocalFree(split);
  return arguments;
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
    refused.denied = error == ERROR_ACCESS_DENIED;
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

OpenedFile Win32Platform::OpenRunningProgram() {
  return Open(Narrow(ModulePath()), Naming::Exact, OpenMode::Read);
}

OpenedFile Win32Platform::OpenLocked(const std::string& path) {
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    // Shared for deletion, so that the program can still be moved aside.
    const OpenedFile file =
        OpenShared(path, false, FILE_SHARE_READ | FILE_SHARE_DELETE);
    if (file.found != Found::File)
      return file;
    const HANDLE handle = Handle(file.id);
    OVERLAPPED at = At(kLockOffset);
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) {
      Close(file.id);
      return OpenedFile{.found = Found::Refused};
    }
    if (SameFile(handle, Wide(path)))
      return file;
    // The holder before put a new file in its place: lock that one.
    Close(file.id);
  }
  return OpenedFile{.found = Found::Refused};
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
    if (!wrote || put == 0)
      break;
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

std::string Win32Platform::ProgramFolder() {
  return Narrow(FolderOf(ModulePath()));
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
                                   std::string* created_path) {
  const std::wstring original = Wide(path);
  const DWORD attributes = GetFileAttributesW(original.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    return kNoFile;
  const std::wstring folder = FolderOf(original);
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
    if (GetLastError() != ERROR_FILE_EXISTS &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      return kNoFile;
  }
  return kNoFile;
}

bool Win32Platform::PutInPlace(const std::string& replacement,
                               const std::string& path) {
  const std::wstring target = Wide(path);
  const std::wstring copy = Wide(replacement);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return MoveFileExW(copy.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
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
  const std::wstring aside = FolderOf(target) + OwnName(kAsideSuffix);
  if (!MoveFileExW(target.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH))
    return false;
  if (!MoveFileExW(copy.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
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

void Win32Platform::ShowNoticeBox(const std::string& caption,
                                  const std::string& message) {
  MessageBoxW(nullptr, Wide(message).c_str(), Wide(caption).c_str(),
              MB_OK | MB_ICONINFORMATION);
}

// A program without a console of its own writes where it was told to: a
// file, a pipe, or a console whose handle it was given. Started from
// Explorer, a shortcut or a prompt (which gives it none, and does not wait
// for it), it shows a window or a box instead: text written into the
// prompt's console would come after the prompt is back.
void Win32Platform::FindOutput() {
  if (output_kind_ != OutputKind::Unknown)
    return;
  const HANDLE standard = GetStdHandle(STD_OUTPUT_HANDLE);
  const DWORD type = standard == nullptr || standard == INVALID_HANDLE_VALUE
                         ? FILE_TYPE_UNKNOWN
                         : GetFileType(standard);
  DWORD console_mode = 0;
  if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) {
    output_kind_ = OutputKind::Stream;
    output_ = standard;
  } else if (type == FILE_TYPE_CHAR &&
             GetConsoleMode(standard, &console_mode)) {
    output_kind_ = OutputKind::Console;
    output_ = standard;
  } else {
    output_kind_ = OutputKind::Box;
  }
}

Drawing Win32Platform::OutputDrawing() {
  FindOutput();
  switch (output_kind_) {
    case OutputKind::Console:
      return GetConsoleOutputCP() == CP_UTF8 ? Drawing::Blocks : Drawing::Ascii;
    case OutputKind::Stream:
      return GetACP() == CP_UTF8 ? Drawing::Blocks : Drawing::Ascii;
    case OutputKind::Box:
    case OutputKind::Unknown:
      break;
  }
  return Drawing::Picture;
}

Output Win32Platform::PrintOutput(const std::string& caption,
                                  const std::string& text) {
  FindOutput();
  const std::string lines = WithCrLf(text);
  if (output_kind_ == OutputKind::Console) {
    const std::wstring wide = Wide(lines);
    DWORD written = 0;
    return WriteConsoleW(output_, wide.data(), static_cast<DWORD>(wide.size()),
                         &written, nullptr) &&
                   written == wide.size()
               ? Output::Shown
               : Output::Failed;
  }
  if (output_kind_ == OutputKind::Stream) {
    DWORD written = 0;
    if (WriteFile(output_, lines.data(), static_cast<DWORD>(lines.size()),
                  &written, nullptr) &&
        written == lines.size())
      return Output::Shown;
    const DWORD error = GetLastError();
    return error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE
               ? Output::ReaderGone
               : Output::Failed;
  }
  MessageBoxW(nullptr, Wide(lines).c_str(), Wide(caption).c_str(),
              MB_OK | MB_ICONINFORMATION);
  return Output::Shown;
}

namespace {

// The picture's colours on the screen, by PictureColour: white paper, black
// ink, light blue grid lines, dark blue labels.
constexpr std::array<RGBQUAD, 4> kPictureColours = {{
    {255, 255, 255, 0},
    {0, 0, 0, 0},
    {230, 200, 170, 0},
    {128, 40, 0, 0},
}};
constexpr wchar_t kPictureClass[] = L"ZYR2FontPicture";
// IDC_ARROW, whose macro is of the narrow kind here.
constexpr WORD kArrowCursor = 32512;
// Each pixel of the picture this many screen pixels on a side at 96 DPI,
// and as many more as a whole number as the screen has more DPI; fewer on
// a screen too small for it, but never fewer than kSmallestScale's share.
constexpr int kLargestScale = 3;
constexpr int kSmallestScale = 2;
constexpr int kPlainDpi = 96;

// What the window draws, rows padded to whole DWORDs, bottom-up as a DIB.
struct PictureWindow {
  const Picture* picture = nullptr;
  int scale = kSmallestScale;
  std::vector<std::uint8_t> rows;
  struct {
    BITMAPINFOHEADER header;
    std::array<RGBQUAD, kPictureColours.size()> colours;
  } info{};
};

// The one picture a run shows, for its window's procedure.
const PictureWindow* g_shown = nullptr;

LRESULT CALLBACK PictureWindowProc(HWND window, UINT message, WPARAM wparam,
                                   LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(window, &paint);
      if (g_shown != nullptr) {
        const Picture& picture = *g_shown->picture;
        StretchDIBits(dc, 0, 0, picture.width * g_shown->scale,
                      picture.height * g_shown->scale, 0, 0, picture.width,
                      picture.height, g_shown->rows.data(),
                      reinterpret_cast<const BITMAPINFO*>(&g_shown->info),
                      DIB_RGB_COLORS, SRCCOPY);
      }
      EndPaint(window, &paint);
      return 0;
    }
    case WM_KEYDOWN:
      if (wparam == VK_ESCAPE || wparam == VK_RETURN)
        DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void PrepareBitmap(const Picture& picture, PictureWindow* shown) {
  const std::size_t stride =
      (static_cast<std::size_t>(picture.width) + 3) & ~std::size_t{3};
  shown->rows.assign(stride * static_cast<std::size_t>(picture.height), 0);
  for (int y = 0; y < picture.height; ++y) {
    const std::size_t from =
        static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width);
    const std::size_t to =
        static_cast<std::size_t>(picture.height - 1 - y) * stride;
    std::copy_n(picture.pixels.begin() + static_cast<std::ptrdiff_t>(from),
                picture.width,
                shown->rows.begin() + static_cast<std::ptrdiff_t>(to));
  }
  BITMAPINFOHEADER& header = shown->info.header;
  header.biSize = sizeof(header);
  header.biWidth = picture.width;
  header.biHeight = picture.height;
  header.biPlanes = 1;
  header.biBitCount = 8;
  header.biCompression = BI_RGB;
  header.biClrUsed = kPictureColours.size();
  shown->info.colours = kPictureColours;
}

// The whole number of screen pixels a picture pixel takes on a side, by
// the screen's DPI (the program declares itself aware of it, so Windows
// does not stretch the window): 3 at 100 %, 4 at 150 %, 6 at 200 %, and
// less where the screen is too small for the window.
int PictureScale(const Picture& picture) {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr)
    ReleaseDC(nullptr, screen);
  const int per_plain = std::max(dpi, kPlainDpi);
  const int smallest = std::max(1, kSmallestScale * per_plain / kPlainDpi);
  int scale = std::max(smallest, kLargestScale * per_plain / kPlainDpi);
  const int frame = GetSystemMetrics(SM_CYCAPTION) * 2;
  while (scale > smallest &&
         picture.height * scale + frame > GetSystemMetrics(SM_CYSCREEN))
    --scale;
  return scale;
}

}  // namespace

bool Win32Platform::ShowPicture(const std::string& title,
                                const Picture& picture) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = PictureWindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(kArrowCursor));
  // No background brush: the picture covers the whole window.
  window_class.lpszClassName = kPictureClass;
  if (RegisterClassW(&window_class) == 0)
    return false;
  PictureWindow shown;
  shown.picture = &picture;
  shown.scale = PictureScale(picture);
  PrepareBitmap(picture, &shown);
  g_shown = &shown;
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame = {0, 0, picture.width * shown.scale,
                picture.height * shown.scale};
  AdjustWindowRect(&frame, style, FALSE);
  const HWND window = CreateWindowExW(
      0, kPictureClass, Wide(title).c_str(), style, CW_USEDEFAULT,
      CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
      nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    g_shown = nullptr;
    return false;
  }
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  g_shown = nullptr;
  return true;
}

}  // namespace mdlReplace
