// The order of a run, from the command-line text to the patched files.
#pragma once

#include <string>
#include <string_view>

#include "patcher/patcher.h"
#include "platform/platform.h"

namespace mdlReplace {

constexpr int kExitSuccess = 0;
// After any message that ends the run.
constexpr int kExitFailure = 1;

constexpr std::string_view kFontFileNotFound = "Font file not found";
constexpr std::string_view kFontNot8x8 = "Font is not 8x8, or is compressed";
constexpr std::string_view kFontFileUnreadable =
    "The font file could not be read.";

// Which font files are taken: those of exactly 2048 bytes, or (for
// attaching) any of at least 2048 bytes, of which the first 2048 count.
enum class FontLength { Exact, AtLeast };

// Reads the font file into the font. When its length does not fit, or it
// cannot be read, shows why and returns false.
bool LoadFontFile(Platform& platform, const std::string& path,
                  FontLength accepted, FontImage* font);

// Runs the program once and returns its exit status.
int RunProgram(Platform& platform);

}  // namespace mdlReplace
