// The options of the font tools: the code page (--codepage N) and
// --merge's codes (--codes CODES), read from the words the user gave.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fonts/formats.h"
#include "fonts/glyph_edits.h"

namespace mdlReplace {

constexpr std::string_view kCodePageOption = "--codepage";
constexpr std::string_view kCodesOption = "--codes";

// "--codes takes codes from 0x00 to 0xFF and ranges of them, as
// 0x80-0xAF,0xE0, not "TEXT"."
std::string MalformedCodes(const std::string& text);

// "--codepage takes the number of a code page, not "TEXT": 437, ..."
std::string UnknownCodePage(const std::string& text);

// The code page a number names, written in decimal digits alone: one the
// program has a table of, or else only its number, by which a code page
// font file's font is still taken. False for any other text.
bool ParseCodePage(const std::string& text, CodePageUse* use);

// "0x80-0xAF,0xE0": codes and ranges of them, parted by commas.
bool ParseCodes(const std::string& text, CodeSet* codes);

// Takes the option off the front of the files, if it is there.
bool TakeOption(std::vector<std::string>* files, std::string_view option);

}  // namespace mdlReplace
