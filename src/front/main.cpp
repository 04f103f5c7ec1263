// The program's entry: builds the platform and runs once.

#ifdef _WIN32

#include <windows.h>

#include <cstdlib>
#include <exception>

#include "front/run.h"
#include "platform/platform_win32.h"

// Were an exception ever to escape (none is thrown but for memory running
// out, which RunProgram turns into a message), the C++ runtime's own
// handler would name its type on the standard error of a program that has
// none, through a decoder of C++ names that is a sixth of the 32-bit
// program. Defined here, the handler keeps that decoder out; ending the
// program is all it did after its message.
namespace __gnu_cxx {
void __verbose_terminate_handler() {  // NOLINT(bugprone-reserved-identifier)
  std::abort();
}
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  mdlReplace::Win32Platform platform;
  return mdlReplace::RunProgram(platform);
}

#else

#include <string>
#include <vector>

#include "front/run.h"
#include "platform/platform_posix.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  mdlReplace::PosixPlatform platform(std::move(arguments));
  return mdlReplace::RunProgram(platform);
}

#endif
