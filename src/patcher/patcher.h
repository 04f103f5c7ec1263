// Writes a font into the game's files, in place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fonts/font.h"
#include "game/game_files.h"
#include "messages/write_refusal.h"
#include "platform/platform.h"

namespace mdlReplace {

// Whether any target is in the folder, which ends with a backslash, as
// patching it would find one.
bool HoldsGameFile(Files& files, const std::string& game_folder);

// What became of a target in a patch run.
enum class TargetOutcome {
  Absent,
  Patched,
  UnknownLength,
  NotWritten,
  Damaged
};

// A target's part of the report: what became of it, and what the user was
// told of it (empty when it was patched, or is not there).
struct TargetReport {
  std::string_view name;  // the game file's own name
  TargetOutcome outcome = TargetOutcome::Absent;
  std::uint64_t length = 0;  // its length, when it could be read
  std::uint64_t offset = 0;  // where the font went, when patched
  bool held_font = false;    // patched, and the font was there already
  Refusal refusal = Refusal::Unknown;  // why it was not written, if known
  std::string message;
};

// What a patch run did: each target, in the order tried, and whether any
// was patched.
struct PatchReport {
  std::vector<TargetReport> targets;
  bool any_patched = false;
};

// Patches every target found in the folder, which ends with a backslash.
// Each target either takes the whole font or keeps its bytes, unless a
// message says it may now be damaged; one that could not be written is
// told with the reason and what to do, where the system denied the user
// the right by what an administrator can do (as_administrator: the command
// that does the run as one, where it is offered). Each message is shown as
// its target is done, and kept in the report. Where none was patched the
// run is over, after the summary message where no target was found that
// could not be written.
PatchReport PatchGameFolder(Files& files, User& user,
                            const std::string& game_folder,
                            const FontImage& font,
                            const AsAdministrator& as_administrator);

}  // namespace mdlReplace
