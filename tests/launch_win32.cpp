// Test launcher: starts the command line found in the environment variable
// ZYR2_COMMAND_LINE exactly as written, waits for it and returns its exit
// status. Wine re-quotes the arguments it is given, so a command line with
// unbalanced double quotes can only reach the program this way. The program
// starts as from Explorer: no console to attach to, no standard handles;
// or, where ZYR2_STDOUT names a file, with its output redirected there.
// Where ZYR2_HOLD names a file, the launcher holds it open for reading,
// sharing it with no writer, while the program runs: as the running game
// holds its files. Where ZYR2_LIMITED is set, the program starts with the
// limited token linked to the launcher's own, as Explorer starts it for an
// administrator who has not chosen "Run as administrator" (under Wine,
// every process is elevated); where there is none, the launcher returns
// 124 without starting it.
#include <windows.h>

#include <vector>

namespace {

// The limited token linked to this process's elevated one, made a primary
// token to start a process with; null where there is none.
HANDLE LimitedToken() {
  HANDLE own = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own) == 0)
    return nullptr;
  TOKEN_LINKED_TOKEN linked{};
  DWORD size = 0;
  const bool got = GetTokenInformation(own, TokenLinkedToken, &linked,
                                       sizeof(linked), &size) != 0;
  CloseHandle(own);
  if (!got || linked.LinkedToken == nullptr)
    return nullptr;
  HANDLE primary = nullptr;
  if (DuplicateTokenEx(linked.LinkedToken, TOKEN_ALL_ACCESS, nullptr,
                       SecurityImpersonation, TokenPrimary, &primary) == 0)
    primary = nullptr;
  CloseHandle(linked.LinkedToken);
  return primary;
}

// Says on standard error why the program did not start: the caller's log
// then tells a Windows error from the program's own exit status.
void SayNotStarted(DWORD error) {
  char line[64];
  const int length =
      wsprintfA(line, "launch: CreateProcess failed, error %lu\r\n", error);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(length),
            &written, nullptr);
}

}  // namespace

int wmain() {
  std::vector<wchar_t> command_line(32768);
  const DWORD length =
      GetEnvironmentVariableW(L"ZYR2_COMMAND_LINE", command_line.data(),
                              static_cast<DWORD>(command_line.size()));
  if (length == 0 || length >= command_line.size())
    return 120;
  std::vector<wchar_t> held(32768);
  const DWORD held_length = GetEnvironmentVariableW(
      L"ZYR2_HOLD", held.data(), static_cast<DWORD>(held.size()));
  HANDLE hold = INVALID_HANDLE_VALUE;
  if (held_length > 0 && held_length < held.size()) {
    hold = CreateFileW(held.data(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hold == INVALID_HANDLE_VALUE)
      return 123;
  }
  FreeConsole();
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  std::vector<wchar_t> output(32768);
  const DWORD output_length = GetEnvironmentVariableW(
      L"ZYR2_STDOUT", output.data(), static_cast<DWORD>(output.size()));
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  if (output_length > 0 && output_length < output.size())
    startup.hStdOutput =
        CreateFileW(output.data(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE limited = nullptr;
  if (GetEnvironmentVariableW(L"ZYR2_LIMITED", nullptr, 0) > 0) {
    limited = LimitedToken();
    if (limited == nullptr)
      return 124;
  }
  PROCESS_INFORMATION process{};
  const BOOL inherit = startup.hStdOutput != nullptr ? TRUE : FALSE;
  const BOOL started =
      limited != nullptr
          ? CreateProcessAsUserW(limited, nullptr, command_line.data(), nullptr,
                                 nullptr, inherit, 0, nullptr, nullptr,
                                 &startup, &process)
          : CreateProcessW(nullptr, command_line.data(), nullptr, nullptr,
                           inherit, 0, nullptr, nullptr, &startup, &process);
  const DWORD error = started ? 0 : GetLastError();
  if (limited != nullptr)
    CloseHandle(limited);
  if (!started) {
    SayNotStarted(error);
    return 121;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 122;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (hold != INVALID_HANDLE_VALUE)
    CloseHandle(hold);
  return static_cast<int>(status);
}
