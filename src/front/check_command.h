// zyr2font --check: whether a font draws every character of a
// translation's texts.
#pragma once

#include <string>
#include <vector>

#include "fonts/formats.h"
#include "platform/platform.h"

namespace mdlReplace {

// Checks the texts, the files after the font (one at least), against the font's
// glyphs in the code page named (437 where none is) and prints the report.
// Returns 0 when every character can be drawn, 1 when one cannot or after a
// message.
int RunCheck(Platform& platform, const std::vector<std::string>& files,
             CodePageUse* code_pages, bool all);

}  // namespace mdlReplace
