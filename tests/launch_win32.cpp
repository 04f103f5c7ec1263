// Test launcher: starts the command line found in the environment variable
// ZYR2_COMMAND_LINE exactly as written, waits for it and returns its exit
// status. Wine re-quotes the arguments it is given, so a command line with
// unbalanced double quotes can only reach the program this way. The program
// starts as from Explorer: no console to attach to, no standard handles.
#include <windows.h>

#include <vector>

int wmain() {
  std::vector<wchar_t> command_line(32768);
  const DWORD length =
      GetEnvironmentVariableW(L"ZYR2_COMMAND_LINE", command_line.data(),
                              static_cast<DWORD>(command_line.size()));
  if (length == 0 || length >= command_line.size())
    return 120;
  FreeConsole();
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process))
    return 121;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 122;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
