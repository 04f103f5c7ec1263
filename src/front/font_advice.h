// What a run that finds no font it can use says after the message players
// know: which file it took or looked for, and how to give it a font. The
// first line stays the message; these lines follow it.
#pragma once

#include <string>

#include "platform/platform.h"

namespace mdlReplace {

// A run without arguments found no font file and the program carries
// none: where the font was looked for, and how a player gives one.
std::string NoFontForDefaultRun(Platform& platform,
                                const std::string& font_path);

// The refusal of the font file a run without arguments found: named, as
// the player never named it.
std::string DefaultRunFontRefused(Platform& platform,
                                  const std::string& refusal,
                                  const std::string& font_path);

// The refusal of a font the user dropped, with the file named where the
// refusal does not name it ("Font is not 8x8, or is compressed", say):
// a player who dropped a photo learns which file it was.
std::string DroppedFontRefused(const std::string& refusal,
                               const std::string& font_path);

// Whether the path the font was looked for at is a folder, which a run
// takes for no font at all: the player is told it is a folder.
bool NamesAFolder(Files& files, const std::string& font_path);

}  // namespace mdlReplace
