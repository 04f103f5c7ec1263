// The program's entry: builds the platform and runs once.

#ifdef _WIN32

#include <windows.h>

#include "front/run.h"
#include "platform/platform_win32.h"

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
