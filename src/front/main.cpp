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

#include <unistd.h>

#include <string>
#include <string_view>
#include <vector>

#include "front/run.h"
#include "front/version.h"
#include "platform/platform_posix.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: zyr2font                    patch the game in the current folder\n"
    "       zyr2font GAME_FOLDER        with GAME_FOLDER/ZYR2.FNT\n"
    "       zyr2font FONT GAME_FOLDER   with the font file FONT\n"
    "       zyr2font /A:FONT            attach FONT to this program\n"
    "\n"
    "Writes an 8x8 font of 2048 bytes into ZYR2.DOS, ZYR2.EXE and BRANVEL.EXE\n"
    "in the game folder, each file recognised by its exact length.\n"
    "Without arguments the font is ./ZYR2.FNT, or else the one attached to\n"
    "this program.\n"
    "\n"
    "Exit status: 0 when at least one game file was patched, 1 after any\n"
    "message that ends the run.\n";

bool PrintToStdout(std::string_view text) {
  return write(STDOUT_FILENO, text.data(), text.size()) ==
         static_cast<ssize_t>(text.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (arguments.size() == 1) {
    const std::string& only = arguments[0];
    if (only == "--help" || only == "-h")
      return PrintToStdout(kUsage) ? 0 : 1;
    if (only == "--version") {
      const std::string line =
          "zyr2font " + std::string(mdlReplace::kVersion) + "\n";
      return PrintToStdout(line) ? 0 : 1;
    }
  }
  mdlReplace::PosixPlatform platform(std::move(arguments));
  return mdlReplace::RunProgram(platform);
}

#endif
