// Every file operation of a run fails in turn, one run per operation: the
// run must say the right thing, end with the right status, and leave every
// file whole. Then every operation from one on fails, as on a disk that
// went away: each target must still be whole, patched whole, or reported
// as maybe damaged.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "attached/attached_font.h"
#include "attached/font_block.h"
#include "fake_platform.h"
#include "fonts/glyph_block.h"
#include "fonts/image_picture.h"
#include "front/run.h"
#include "front/run_steps.h"
#include "source/font_source.h"

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
  bool sparse;
};

const Target kTargets[] = {
    {R"(GAME\ZYR2.DOS)", "ZYR2.DOS", 928799, 881700, false},
    {R"(GAME\ZYR2.EXE)", "ZYR2.EXE", 615936, 513588, true},
    {R"(GAME\BRANVEL.EXE)", "BRANVEL.EXE", 616448, 514100, false},
};

// The line after "NAME could not be written." for a write that failed for
// the reason: the advice where the system gives none.
struct WriteFault {
  Refusal refusal;
  std::string said_before_name;
  std::string said_after_name;
};

const WriteFault kWriteFaults[] = {
    {Refusal::Unknown, "",
     "Make sure it is not read-only and the game is not running."},
    {Refusal::DiskFull, "The disk ",
     " is on is full: make room for 2,048 bytes on it, then try again."},
    {Refusal::TooLarge, "",
     " would reach past the file-size limit the program runs under: raise "
     "the limit, then try again."},
};

std::string NotWritten(const Target& target,
                       const WriteFault& fault = kWriteFaults[0]) {
  const std::string why =
      fault.refusal == Refusal::Unknown
          ? fault.said_after_name
          : fault.said_before_name + target.name + fault.said_after_name;
  return kShown + target.name + " could not be written.\r\n" + why;
}

std::string Damaged(const Target& target) {
  return kShown + target.name +
         " could not be written, and may now be damaged.\r\nRestore it from "
         "a backup, or reinstall the game.";
}

FakePlatform PatchScenario() {
  FakePlatform platform;
  platform.argument_text = R"("GAME")";
  platform.files[kFont].bytes = Pattern(kFontSize, 1);
  for (const Target& target : kTargets) {
    platform.files[target.path].bytes = Pattern(target.length, 0xEE);
    platform.files[target.path].sparse = target.sparse;
  }
  return platform;
}

bool Unchanged(const FakePlatform& platform, const FakePlatform& before,
               const std::string& path) {
  return platform.files.at(path).bytes == before.files.at(path).bytes;
}

// Patched whole: the font at its offset and every other byte as it was.
bool PatchedWhole(const FakePlatform& platform, const FakePlatform& before,
                  const Target& target) {
  std::vector<std::uint8_t> expected = before.files.at(target.path).bytes;
  const std::vector<std::uint8_t> font = Pattern(kFontSize, 1);
  std::copy(font.begin(), font.end(),
            expected.begin() + static_cast<std::ptrdiff_t>(target.offset));
  return platform.files.at(target.path).bytes == expected;
}

bool Shown(const FakePlatform& platform, const std::string& message) {
  return std::find(platform.messages.begin(), platform.messages.end(),
                   message) != platform.messages.end();
}

using Check = std::function<void(
    const std::string& operation, const std::string& path,
    FakePlatform& platform, const FakePlatform& before, int status)>;

// Runs the scenario once per operation of its clean run, with that one
// operation failing (and, onward, every one after it), and hands each
// outcome to the check. Returns how many faults were injected.
std::size_t InjectEachFault(const std::function<FakePlatform()>& scenario,
                            bool onward, const Check& check) {
  FakePlatform clean = scenario();
  RunProgram(clean);
  for (std::size_t call = 1; call <= clean.log.size(); ++call) {
    const std::string& line = clean.log[call - 1];
    SCOPED_TRACE("failing " + line + (onward ? " and onward" : ""));
    FakePlatform platform = scenario();
    const FakePlatform before = platform;
    platform.fail_on_call = call;
    platform.fail_onward = onward;
    const int status = RunProgram(platform);
    const std::size_t blank = line.find(' ');
    check(line.substr(0, blank), line.substr(blank + 1), platform, before,
          status);
    EXPECT_EQ(platform.OpenCount(), 0u) << "a file was left open";
  }
  return clean.log.size();
}

TEST(FaultInjection, EveryOperationOfAPatchRun) {
  for (const WriteFault& fault : kWriteFaults) {
    const std::size_t faults = InjectEachFault(
        [&fault] {
          FakePlatform platform = PatchScenario();
          platform.fault_refusal = fault.refusal;
          return platform;
        },
        false,
        [&fault](const std::string& operation, const std::string& path,
                 FakePlatform& platform, const FakePlatform& before,
                 int status) {
          if (path == kFont) {
            // Without a font nothing is patched.
            EXPECT_EQ(status, kExitFailure);
            EXPECT_EQ(platform.messages,
                      std::vector<std::string>{kShown + kUnreadable});
            EXPECT_TRUE(platform.files == before.files);
            return;
          }
          // The failing target keeps its bytes and is reported; once the font
          // is flushed, a failing close changes nothing. The others are
          // patched all the same.
          EXPECT_EQ(status, kExitSuccess);
          for (const Target& target : kTargets) {
            const bool failed = target.path == path && operation != "close";
            if (failed) {
              EXPECT_TRUE(Unchanged(platform, before, target.path))
                  << target.path;
              // A write says why the system refused it; an open or a read
              // that failed, nothing it could tell.
              const bool written = operation == "write" ||
                                   operation == "reserve" ||
                                   operation == "flush";
              EXPECT_EQ(platform.messages,
                        std::vector<std::string>{NotWritten(
                            target, written ? fault : kWriteFaults[0])});
            } else {
              EXPECT_TRUE(PatchedWhole(platform, before, target))
                  << target.path;
            }
          }
          if (operation == "close") {
            EXPECT_TRUE(platform.messages.empty());
          }
        });
    // One on looking whether the text names a file, three on the font, five on
    // each target and a reserve on the sparse one.
    EXPECT_EQ(faults, 1u + 3u + 3 * 5u + 1u);
    std::printf("patch run: %zu faults injected and survived\n", faults);
  }
}

TEST(FaultInjection, EveryOperationOnwardOfAPatchRun) {
  const std::size_t faults = InjectEachFault(
      PatchScenario, true,
      [](const std::string&, const std::string&, FakePlatform& platform,
         const FakePlatform& before, int status) {
        bool any_patched = false;
        for (const Target& target : kTargets) {
          const bool patched = PatchedWhole(platform, before, target);
          const bool unchanged = Unchanged(platform, before, target.path);
          any_patched = any_patched || patched;
          // A target that lost its bytes says so; one that kept them says
          // it was not written, or was never reached.
          EXPECT_TRUE(patched || unchanged || Shown(platform, Damaged(target)))
              << target.path;
        }
        EXPECT_EQ(status, any_patched ? kExitSuccess : kExitFailure);
        EXPECT_TRUE(platform.files.at(kFont) == before.files.at(kFont));
      });
  EXPECT_EQ(faults, 1u + 3u + 3 * 5u + 1u);
}

// Memory that runs out anywhere ends the run with a message, not an abort,
// and every target is still whole or patched whole.
TEST(FaultInjection, NoMemoryAtEveryOperationOfAPatchRun) {
  FakePlatform clean = PatchScenario();
  RunProgram(clean);
  for (std::size_t call = 1; call <= clean.log.size(); ++call) {
    FakePlatform platform = PatchScenario();
    const FakePlatform before = platform;
    platform.fail_on_call = call;
    platform.fail_without_memory = true;
    EXPECT_EQ(RunProgram(platform), kExitFailure);
    EXPECT_EQ(platform.messages.back(),
              kShown + "There was not enough memory to finish.");
    for (const Target& target : kTargets) {
      EXPECT_TRUE(PatchedWhole(platform, before, target) ||
                  Unchanged(platform, before, target.path));
    }
  }
}

FakePlatform AttachScenario() {
  FakePlatform platform;
  platform.argument_text = R"(/A:"my.fnt")";
  platform.files["my.fnt"].bytes = Pattern(kFontSize + 10, 2);
  platform.files[kProgram].bytes = Pattern(50000, 3);
  return platform;
}

void CheckAttach(const std::string& operation, const std::string& path,
                 FakePlatform& platform, const FakePlatform& before, int status,
                 bool onward) {
  // Once the new program is in place, giving up the lock cannot undo it.
  if (operation == "close" && path == kProgram) {
    EXPECT_EQ(status, kExitSuccess);
    EXPECT_EQ(platform.files.at(kProgram).bytes.size(),
              50000u + kFontBlockSize);
    return;
  }
  EXPECT_EQ(status, kExitFailure);
  // The program is byte for byte what it was; a copy is left only where
  // removing it failed too.
  EXPECT_TRUE(platform.files.at(kProgram) == before.files.at(kProgram));
  EXPECT_EQ(platform.files.count(R"(C:\TOOLS\~NEW)") != 0,
            onward && !platform.Logged("remove").empty());
  std::string message(kAttachFailed);
  if (path == "my.fnt")
    message = kUnreadable;
  EXPECT_EQ(platform.messages, std::vector<std::string>{kShown + message});
}

TEST(FaultInjection, EveryOperationOfAnAttach) {
  for (bool onward : {false, true}) {
    const std::size_t faults = InjectEachFault(
        AttachScenario, onward,
        [onward](const std::string& operation, const std::string& path,
                 FakePlatform& platform, const FakePlatform& before,
                 int status) {
          CheckAttach(operation, path, platform, before, status, onward);
        });
    // Four on the font (its last bytes, for a block, then its first); the
    // lock, and the copy's create, copy, write, flush, close and rename;
    // giving up the lock.
    EXPECT_EQ(faults, 4u + 1u + 6u + 1u);
    std::printf("attach: %zu faults injected and survived\n", faults);
  }
}

FakePlatform ConvertScenario() {
  FakePlatform platform;
  platform.command_arguments = {"--convert", kTargets[1].path, "out.png"};
  platform.files[kTargets[1].path].bytes = Pattern(kTargets[1].length, 0xEE);
  platform.files["out.png"].bytes = Pattern(100, 6);
  return platform;
}

TEST(FaultInjection, EveryOperationOfAConversion) {
  for (bool onward : {false, true}) {
    const std::size_t faults = InjectEachFault(
        ConvertScenario, onward,
        [onward](const std::string&, const std::string& path,
                 FakePlatform& platform, const FakePlatform& before,
                 int status) {
          // The destination is the old file or, never, a part of the new.
          EXPECT_EQ(status, kExitFailure);
          EXPECT_TRUE(platform.files.at("out.png") ==
                      before.files.at("out.png"));
          EXPECT_EQ(platform.files.count("~NEW") != 0,
                    onward && !platform.Logged("remove").empty());
          const std::string message =
              path == kTargets[1].path
                  ? kTargets[1].path + " could not be read."
                  : "out.png could not be written.";
          EXPECT_EQ(platform.messages,
                    std::vector<std::string>{kShown + message});
        });
    // Three on the source; the new file's create, write, flush, close and
    // rename.
    EXPECT_EQ(faults, 3u + 5u);
  }
}

// A picture put into a block of a font: the base and the picture read, the
// destination written whole or not at all.
FakePlatform BlockMergeScenario() {
  FakePlatform platform;
  platform.command_arguments = {"--merge", "base.fnt",  "block.png", "out.fnt",
                                "--codes", "0xF0-0xF7", "--width",   "4"};
  platform.files["base.fnt"].bytes = FontPattern(3);
  FontImage font{};
  const std::vector<std::uint8_t> other = FontPattern(5);
  std::copy(other.begin(), other.end(), font.begin());
  platform.files["block.png"].bytes = WritePicturePng(
      CutBlock(font, {{0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7}, 4}));
  platform.files["out.fnt"].bytes = Pattern(100, 6);
  return platform;
}

TEST(FaultInjection, EveryOperationOfABlockMerge) {
  for (bool onward : {false, true}) {
    const std::size_t faults = InjectEachFault(
        BlockMergeScenario, onward,
        [](const std::string&, const std::string& path, FakePlatform& platform,
           const FakePlatform& before, int status) {
          EXPECT_EQ(status, kExitFailure);
          EXPECT_TRUE(platform.files.at("out.fnt") ==
                      before.files.at("out.fnt"));
          const std::string message = path == "base.fnt" || path == "block.png"
                                          ? path + " could not be read."
                                          : "out.fnt could not be written.";
          EXPECT_EQ(platform.messages,
                    std::vector<std::string>{kShown + message});
        });
    // Three on the base and three on the picture; the new file's create,
    // write, flush, close and rename.
    EXPECT_EQ(faults, 3u + 3u + 5u);
  }
}

// A font and two texts, the first long enough to be read in pieces.
FakePlatform CheckScenario() {
  FakePlatform platform;
  platform.command_arguments = {"--check", "my.fnt", "long.txt", "short.txt"};
  platform.files["my.fnt"].bytes = FontPattern(3);
  const std::string line = "\xCE\x91\xCE\xB2\xCE\xB3 abc\n";
  for (std::size_t i = 0; i < 20000; ++i)
    platform.files["long.txt"].bytes.insert(
        platform.files["long.txt"].bytes.end(), line.begin(), line.end());
  platform.files["short.txt"].bytes = {'x', '\n'};
  return platform;
}

TEST(FaultInjection, EveryOperationOfACheck) {
  for (bool onward : {false, true}) {
    const std::size_t faults = InjectEachFault(
        CheckScenario, onward,
        [](const std::string& operation, const std::string& path,
           FakePlatform& platform, const FakePlatform& before, int status) {
          // No report of a text read in part; nothing written.
          EXPECT_EQ(status, kExitFailure);
          const std::string message = operation == "print"
                                          ? "The output could not be written."
                                          : path + " could not be read.";
          EXPECT_EQ(platform.messages,
                    std::vector<std::string>{kShown + message});
          EXPECT_EQ(platform.output, "");
          EXPECT_TRUE(platform.files == before.files);
        });
    // Open, read and close the font; the short text's open, piece, end
    // and close; the long one's open, four pieces, end and close; the
    // report's print.
    EXPECT_EQ(faults, 3u + 4u + 7u + 1u);
  }
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
      AttachedFontScenario, false,
      [](const std::string& operation, const std::string& path,
         FakePlatform& platform, const FakePlatform& before, int status) {
        if (path == kProgram) {
          EXPECT_EQ(status, kExitFailure);
          // The first line says what is missing; the next, what to do.
          ASSERT_EQ(platform.messages.size(), 1u);
          EXPECT_TRUE(platform.messages[0].starts_with(
              kShown + std::string(kNoAttachedFont) + "\r\n"));
          EXPECT_TRUE(platform.files == before.files);
        } else if (path != kCurrentExe || operation == "close") {
          // The font file and two targets, looked for and not there, and
          // the close after a flushed patch: failing changes nothing.
          EXPECT_EQ(status, kExitSuccess);
          EXPECT_TRUE(platform.messages.empty());
        } else {
          // The only target keeps its bytes and does not count as patched:
          // its own report alone, no summary that says none was found.
          EXPECT_EQ(status, kExitFailure);
          EXPECT_TRUE(Unchanged(platform, before, kCurrentExe));
          EXPECT_EQ(platform.messages.size(), 1u);
        }
      });
  // The font file, the program, the one target, and the two absent ones.
  EXPECT_EQ(faults, 1u + 3u + 5u + 2u);
  std::printf("run with the attached font: %zu faults injected and survived\n",
              faults);
}

}  // namespace
}  // namespace mdlReplace
