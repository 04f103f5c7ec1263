// What a font source read is told, as information: how many codes a code
// page gave a glyph, and glyphs smaller than 8x8 placed in 8x8 cells.
#pragma once

#include <string>

#include "fonts/formats.h"

namespace mdlReplace {

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
