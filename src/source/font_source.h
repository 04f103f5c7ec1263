// A font from a file of the user's: a font file in any format the program
// reads, a game file, or a program that carries a font. What is taken of a
// file is decided by the rules of fonts/source_rules.h; here the file is
// opened, looked at as they ask, and read.
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
// in code_pages, if any; code_pages tells what was placed by one. A source
// that is there but gives no font gets its message here (Failed); where
// there is none the caller decides what to say (Absent).
FontLoad ReadFontSource(Files& files, User& user, const std::string& path,
                        SourceUse use, FontImage* font,
                        CodePageUse* code_pages);
FontLoad ReadFontSource(Files& files, User& user, const std::string& path,
                        SourceUse use, FontImage* font);

// The same, showing nothing: the message that says why a source that is
// there gives no font goes to refusal, for the caller to tell with more.
FontLoad LoadFontSource(Files& files, const std::string& path, SourceUse use,
                        FontImage* font, CodePageUse* code_pages,
                        std::string* refusal);

}  // namespace mdlReplace
