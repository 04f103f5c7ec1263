// A font from a file of the user's: a font file in any format the program
// reads, a game file, or a program that carries a font.
#pragma once

#include <string>
#include <string_view>

#include "fonts/font.h"
#include "fonts/formats.h"
#include "platform/platform.h"

namespace mdlReplace {

constexpr std::string_view kFontFileNotFound = "Font file not found";
constexpr std::string_view kFontNot8x8 = "Font is not 8x8, or is compressed";
constexpr std::string_view kFontFileUnreadable =
    "The font file could not be read.";

// What the font is for, which decides what is taken.
enum class SourceUse {
  // A patch run's font file, named as the game's players spell paths: one
  // of 2048 bytes is taken as it is; any other is read as a font source,
  // or refused as no 8x8 font.
  Patch,
  // Attaching: a font source, or else the first 2048 bytes of a file that
  // has so many.
  Attach,
  // --show and --convert: a font source at the exact path, a pipe too.
  Tool,
};

enum class FontLoad { Loaded, Absent, Failed };

// Reads the font of the source, its glyphs placed by the code page named
// in code_pages, if any; code_pages tells what was placed by one. A source
// that is there but gives no font gets its message here (Failed); where
// there is none the caller decides what to say (Absent).
FontLoad ReadFontSource(Platform& platform, const std::string& path,
                        SourceUse use, FontImage* font,
                        CodePageUse* code_pages);
FontLoad ReadFontSource(Platform& platform, const std::string& path,
                        SourceUse use, FontImage* font);

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
