// A check as its user reads it: the report of what cannot be drawn, and
// the sentences that refuse a text.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "check/coverage.h"
#include "check/text_tally.h"
#include "fonts/formats.h"

namespace mdlReplace {

// A list shows this many characters, then a count of the rest, unless the
// user asks for all.
constexpr std::size_t kListedCharacters = 20;

// "NAME is not UTF-8 text: it stops being so in line 3, at byte 12 of that
// line (0xE9)."; where that is a NUL, or a byte of UTF-16's byte order mark
// at the start, a second line says it may be UTF-16.
std::string NotUtf8(const std::string& name, const Utf8Break& broken);

// "NAME is over 64 MiB, too long for a translation's text."
std::string TextTooLong(const std::string& name);

// "U+0452 ђ": a character's number, and the character where a terminal
// or a message box shows it; a combining mark on a dotted circle
// ("U+0301 ◌́"), and a character that shows nothing (a space, U+202F) by
// its number alone.
std::string CharacterName(char32_t character);

// "Checked in code page 737, the font's own.": the code page a check goes
// by where none is named, and why (the font names it, names a character
// set the program has no table of, or names none), for the report's first
// line.
std::string CheckedInCodePage(const CodePage& code_page,
                              const CodePageUse& use);

// The report, lines ending with a line feed: the characters the code page
// lacks, those whose glyph is blank, the summary ("all 3,412 characters of
// 2 files can be drawn"), and a code page that would serve better. The
// names are the files' in the order they were read, for the places.
std::string DescribeCoverage(const Coverage& coverage,
                             std::span<const std::string> names, bool all);

}  // namespace mdlReplace
