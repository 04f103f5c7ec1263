// A font file of the user's, read through the platform.
#pragma once

#include <string>
#include <string_view>

#include "fonts/font.h"
#include "platform/platform.h"

namespace mdlReplace {

constexpr std::string_view kFontFileNotFound = "Font file not found";
constexpr std::string_view kFontNot8x8 = "Font is not 8x8, or is compressed";
constexpr std::string_view kFontFileUnreadable =
    "The font file could not be read.";

// Which font files are taken: those of exactly 2048 bytes, or (for
// attaching) any of at least 2048 bytes, of which the first 2048 count.
enum class FontLength { Exact, AtLeast };

enum class FontLoad { Loaded, Absent, Failed };

// Reads the font file, named as the user spelled it, into the font. A file
// that is there but does not fit or cannot be read gets its message here
// (Failed); where there is no font file the caller decides (Absent).
FontLoad LoadFontFile(Platform& platform, const std::string& path,
                      FontLength accepted, FontImage* font);

}  // namespace mdlReplace
