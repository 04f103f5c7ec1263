// Writes a font into the game's files, in place.
#pragma once

#include <string>

#include "fonts/font.h"
#include "game/game_files.h"
#include "messages/write_refusal.h"
#include "platform/platform.h"

namespace mdlReplace {

// Whether any target is in the folder, which ends with a backslash, as
// patching it would find one.
bool HoldsGameFile(Files& files, const std::string& game_folder);

// Patches every target found in the folder, which ends with a backslash.
// Each target either takes the whole font or keeps its bytes, unless a
// message says it may now be damaged; one that could not be written is
// told with the reason and what to do, where the system denied the user
// the right by what an administrator can do (as_administrator: the command
// that does the run as one, where it is offered). Returns true when at least
// one was patched; otherwise the run is over, after the summary message
// where no target was found that could not be written.
bool PatchGameFolder(Files& files, User& user, const std::string& game_folder,
                     const FontImage& font,
                     const AsAdministrator& as_administrator);

}  // namespace mdlReplace
