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

// Whether the source was placed by a code page that left some codes
// without a glyph: the user is told how many got one.
bool LeftCodesBlank(const CodePageUse& use);

// "NAME: 189 of 256 codes have a glyph in code page 866.": what a source
// placed by a code page is told, as information.
std::string CodesWithGlyph(const std::string& path, const CodePageUse& use);

// "NAME has 5x7 glyphs; they are placed in 8x8 cells.": what a source of
// glyphs smaller than 8x8 is told, as information; empty for any other.
std::string PlacedInCells(const std::string& path, const CodePageUse& use);

// All a source read is told, as information, in one message of a line
// each; empty when there is nothing to tell.
std::string ReadingNotice(const std::string& path, const CodePageUse& use);

}  // namespace mdlReplace
