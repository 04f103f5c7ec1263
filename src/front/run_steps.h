// The steps that every run and every command of the program takes alike,
// called downward by each: the exit status, ending with an error, the
// run's font and telling what reading it found, and patching the game.
#pragma once

#include <string>
#include <string_view>

#include "fonts/font.h"
#include "fonts/source_rules.h"
#include "platform/platform.h"
#include "source/font_source.h"

namespace mdlReplace {

constexpr int kExitSuccess = 0;
// After any message that ends the run.
constexpr int kExitFailure = 1;

constexpr std::string_view kNotEnoughMemory =
    "There was not enough memory to finish.";

// Shows the message and returns the status of a run that it ends.
int EndWithError(User& user, std::string_view message);

// A run's font, and what reading it has to tell the user once the run has
// used it, as the tools tell it: how many codes got a glyph by the code
// page it was placed by, or that its glyphs are smaller than 8x8. A raw
// font, the only kind the game's players had, tells nothing.
struct RunFont {
  FontImage glyphs{};
  std::string path{};  // as named; empty for the font the program carries
  std::string notice{};
};

// Reads the font at the path for the use, in any format the font tools
// read. The message of one that is there but gives no font goes to
// refusal, not shown.
FontLoad LoadRunFont(Files& files, const std::string& path, SourceUse use,
                     RunFont* font, std::string* refusal);

// Reads the font the user named or dropped; false once the reason there is
// none has been shown, a dropped file named in it.
bool ReadNamedFont(Platform& platform, const std::string& path, SourceUse use,
                   RunFont* font);

// What reading a font had to tell (ReadingNotice), as information: a run
// tells it once it has used the font, after any box of its own; a tool as
// soon as it has read it. Nothing is shown for nothing to tell.
void TellReading(User& user, const std::string& notice);

// Patches the game in the folder with the font, then tells what reading
// the font had to tell, if the font went in; returns the exit status.
int PatchGame(Platform& platform, const std::string& game_folder,
              const RunFont& font);

}  // namespace mdlReplace
