// A font from a file of the user's: a font file in any format the program
// reads, a game file, or a program that carries a font. What is taken of a
// file is decided by the rules of fonts/source_rules.h; here the file is
// opened, looked at as they ask, and read; what to tell the user of it is
// the caller's.
#pragma once

#include <string>
#include <string_view>

#include "fonts/font.h"
#include "fonts/formats.h"
#include "fonts/source_rules.h"
#include "platform/platform.h"

namespace mdlReplace {

constexpr std::string_view kFontFileNotFound = "Font file not found";
constexpr std::string_view kFontNot8x8 = "Font is not 8x8, or is compressed";
constexpr std::string_view kFontFileUnreadable =
    "The font file could not be read.";

enum class FontLoad { Loaded, Absent, Failed };

// Reads the font of the source, its glyphs placed by the code page named
// in code_pages, if any; code_pages tells what was placed by one. Shows
// nothing: the message that says why a source that is there gives no font
// goes to refusal (Failed), for the caller to tell as its use asks; where
// there is none (Absent) the caller decides what to say.
FontLoad LoadFontSource(Files& files, const std::string& path, SourceUse use,
                        FontImage* font, CodePageUse* code_pages,
                        std::string* refusal);

}  // namespace mdlReplace
