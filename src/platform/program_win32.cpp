// The program on Windows: its command line, its own file, and the text of
// both, which Windows keeps in UTF-16.
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "base/names.h"
#include "platform/argument_text.h"
#include "platform/helpers_win32.h"
#include "platform/platform_win32.h"

namespace mdlReplace {

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

std::wstring WideFolderOf(const std::string& path) {
  return Wide(std::string(FolderOf(path)));
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

namespace {

// Whether the program runs with an administrator's rights, and else the
// way to them: elevated, as Windows Vista and later tell, else "Run as
// administrator"; on XP, which knows no elevation (and refuses the
// question), as a member of the Administrators group, else "Run as..."
// with an administrator's account. Where neither can be told, it does
// not: the user is offered the way.
Administrator RightsOfThisProcess() {
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) != 0) {
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool told = GetTokenInformation(token, TokenElevation, &elevation,
                                          sizeof(elevation), &size) != 0;
    CloseHandle(token);
    if (told)
      return elevation.TokenIsElevated != 0 ? Administrator::Already
                                            : Administrator::Offered;
  }
  // No elevation, as on XP: an administrator's account is the way.
  SID_IDENTIFIER_AUTHORITY nt_authority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (AllocateAndInitializeSid(&nt_authority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                               DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                               &administrators) == 0)
    return Administrator::OfferedAsAnotherUser;
  BOOL member = FALSE;
  if (CheckTokenMembership(nullptr, administrators, &member) == 0)
    member = FALSE;
  FreeSid(administrators);
  return member != FALSE ? Administrator::Already
                         : Administrator::OfferedAsAnotherUser;
}

}  // namespace

Win32Platform::Win32Platform() {
  const std::string program = Narrow(ModulePath());
  if (!program.empty())
    RemoveLeftovers(WideFolderOf(program));
}

Win32Platform::~Win32Platform() = default;

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

OpenedFile Win32Platform::OpenRunningProgram() {
  return Open(Narrow(ModulePath()), Naming::Exact, OpenMode::Read);
}

std::string Win32Platform::ProgramExecutablePath() {
  return Narrow(ModulePath());
}

std::string Win32Platform::ProgramFolder() {
  return std::string(FolderOf(ProgramExecutablePath()));
}

Administrator Win32Platform::AdministratorRights() {
  return RightsOfThisProcess();
}

std::string Win32Platform::FullPath(const std::string& path) {
  const std::wstring wide = Wide(path);
  std::wstring full(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = GetFullPathNameW(
        wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0)
      return path;
    if (length < full.size()) {
      full.resize(length);
      return Narrow(full);
    }
    full.resize(length);
  }
  return path;
}

}  // namespace mdlReplace
