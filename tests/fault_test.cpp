// Every file operation of a run fails in turn, one run per operation: the
// run must say the right thing, end with the right status, and leave every
// file whole, but for targets whose font was written before the failure.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "attached/attached_font.h"
#include "fake_platform.h"
#include "front/run.h"

namespace mdlReplace {
namespace {

const std::string kFont = R"(GAME\ZYR2.FNT)";
const std::string kProgram = R"(C:\TOOLS\ZYR2FONT.EXE)";
const std::string kCurrentExe = R"(.\ZYR2.EXE)";
const std::string kUnreadable = std::string(kFontFileUnreadable);

struct Target {
  std::string path;
  std::string name;
  std::uint64_t length;
  std::uint64_t offset;
};

const Target kTargets[] = {
    {R"(GAME\ZYR2.DOS)", "ZYR2.DOS", 928799, 881700},
    {R"(GAME\ZYR2.EXE)", "ZYR2.EXE", 615936, 513588},
    {R"(GAME\BRANVEL.EXE)", "BRANVEL.EXE", 616448, 514100},
};

FakePlatform PatchScenario() {
  FakePlatform platform;
  platform.argument_text = R"("game")";
  platform.files[kFont].bytes = Pattern(kFontSize, 1);
  for (const Target& target : kTargets)
    platform.AddFile(target.path, target.length, 0xEE);
  return platform;
}

bool HoldsFont(const FakePlatform& platform, const Target& target,
               const std::vector<std::uint8_t>& font) {
  const std::vector<std::uint8_t>& bytes = platform.files.at(target.path).bytes;
  return std::equal(font.begin(), font.end(),
                    bytes.begin() + static_cast<std::ptrdiff_t>(target.offset));
}

// Runs the scenario once per operation of its clean run, with that one
// operation failing, and hands each outcome to the check. Returns how many
// faults were injected.
std::size_t InjectEachFault(
    const std::function<FakePlatform()>& scenario,
    const std::function<void(const std::string& operation,
                             const std::string& path, FakePlatform& platform,
                             const FakePlatform& before, int status)>& check) {
  FakePlatform clean = scenario();
  RunProgram(clean);
  for (std::size_t call = 1; call <= clean.log.size(); ++call) {
    const std::string& line = clean.log[call - 1];
    SCOPED_TRACE("failing " + line);
    FakePlatform platform = scenario();
    const FakePlatform before = platform;
    platform.fail_on_call = call;
    const int status = RunProgram(platform);
    const std::size_t blank = line.find(' ');
    check(line.substr(0, blank), line.substr(blank + 1), platform, before,
          status);
    EXPECT_EQ(platform.OpenCount(), 0u) << "a file was left open";
  }
  return clean.log.size();
}

TEST(FaultInjection, EveryOperationOfAPatchRun) {
  const std::vector<std::uint8_t> font = Pattern(kFontSize, 1);
  const std::size_t faults = InjectEachFault(
      PatchScenario,
      [&](const std::string& operation, const std::string& path,
          FakePlatform& platform, const FakePlatform& before, int status) {
        if (path == kFont) {
          // Without a font nothing is patched.
          EXPECT_EQ(status, kExitFailure);
          ASSERT_EQ(platform.messages.size(), 1u);
          EXPECT_EQ(
              platform.messages[0],
              kShown + (operation == "exists" ? std::string(kFontFileNotFound)
                                              : kUnreadable));
          EXPECT_TRUE(platform.files == before.files);
          return;
        }
        // A failing target is reported, unless it only seemed absent; the
        // others are patched all the same.
        EXPECT_EQ(status, kExitSuccess);
        for (const Target& target : kTargets) {
          const bool failed = target.path == path;
          const bool written =
              !failed || operation == "flush" || operation == "close";
          EXPECT_EQ(HoldsFont(platform, target, font), written) << target.path;
          if (failed && operation != "exists") {
            EXPECT_EQ(platform.messages,
                      std::vector<std::string>{
                          kShown + target.name +
                          " could not be written.\r\nMake sure it is not "
                          "read-only and the game is not running."});
          }
          if (!written) {
            EXPECT_TRUE(platform.files[target.path] ==
                        before.files.at(target.path));
          }
        }
        if (operation == "exists") {
          EXPECT_TRUE(platform.messages.empty());
        }
      });
  // Five on the font, six on each target.
  EXPECT_EQ(faults, 5u + 3 * 6u);
  std::printf("patch run: %zu faults injected and survived\n", faults);
}

FakePlatform AttachScenario() {
  FakePlatform platform;
  platform.argument_text = R"(/A:"my.fnt")";
  platform.files["my.fnt"].bytes = Pattern(kFontSize + 10, 2);
  platform.files[kProgram].bytes = Pattern(50000, 3);
  return platform;
}

TEST(FaultInjection, EveryOperationOfAnAttach) {
  const std::size_t faults = InjectEachFault(
      AttachScenario,
      [](const std::string& operation, const std::string& path,
         FakePlatform& platform, const FakePlatform& before, int status) {
        EXPECT_EQ(status, kExitFailure);
        // The program is byte for byte what it was, with no copy beside it.
        EXPECT_TRUE(platform.files == before.files);
        std::string message(kAttachFailed);
        if (path == "my.fnt")
          message = operation == "exists" ? std::string(kFontFileNotFound)
                                          : kUnreadable;
        EXPECT_EQ(platform.messages,
                  std::vector<std::string>{kShown + message});
      });
  // Five on the font, four to read the program, six for its new copy.
  EXPECT_EQ(faults, 5u + 4u + 6u);
  std::printf("attach: %zu faults injected and survived\n", faults);
}

FakePlatform AttachedFontScenario() {
  FakePlatform platform;
  std::vector<std::uint8_t> program = Pattern(50000, 4);
  program.insert(program.end(), FontBlockMarker.begin(), FontBlockMarker.end());
  const std::vector<std::uint8_t> font = Pattern(kFontSize, 5);
  program.insert(program.end(), font.begin(), font.end());
  platform.files[kProgram].bytes = program;
  platform.AddFile(kCurrentExe, 597504, 0xEE);
  return platform;
}

TEST(FaultInjection, EveryOperationOfARunWithTheAttachedFont) {
  const std::size_t faults = InjectEachFault(
      AttachedFontScenario,
      [](const std::string& operation, const std::string& path,
         FakePlatform& platform, const FakePlatform& before, int status) {
        if (path == kProgram) {
          EXPECT_EQ(status, kExitFailure);
          EXPECT_EQ(
              platform.messages,
              std::vector<std::string>{kShown + std::string(kNoAttachedFont)});
          EXPECT_TRUE(platform.files == before.files);
        } else if (path != kCurrentExe) {
          // The font file and two targets, looked for and not there:
          // failing that look changes nothing.
          EXPECT_EQ(status, kExitSuccess);
          EXPECT_TRUE(platform.messages.empty());
        } else {
          // The only target: whatever fails, it does not count as patched.
          EXPECT_EQ(status, kExitFailure);
          const bool written = operation == "flush" || operation == "close";
          EXPECT_EQ(platform.files[kCurrentExe] == before.files.at(kCurrentExe),
                    !written);
          // Its own report, unless it seemed absent, and the summary.
          EXPECT_EQ(platform.messages.size(), operation == "exists" ? 1u : 2u);
        }
      });
  // The font file, the program, the one target, and the two absent ones.
  EXPECT_EQ(faults, 1u + 4u + 6u + 2u);
  std::printf("run with the attached font: %zu faults injected and survived\n",
              faults);
}

}  // namespace
}  // namespace mdlReplace
