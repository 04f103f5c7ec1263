// The code pages a font's glyphs can be placed by: what character each of
// the game's 256 codes shows, in the DOS and Windows code pages of the
// languages the game was translated into.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>

namespace mdlReplace {

// The PC's own code page, where a source keyed by characters goes unless
// the user names another.
constexpr int kDefaultCodePage = 437;

struct CodePage {
  int number;
  // The Unicode character of each code; 0 where the code shows none (the
  // controls, and codes the code page leaves out).
  std::array<char16_t, 256> characters;
};

// The code page of that number; null when the program has none of it.
const CodePage* FindCodePage(int number);

// Every code page the program has, the DOS ones first, in the order their
// numbers run.
std::span<const CodePage> KnownCodePages();

// The numbers of the code pages there are, as a message lists them:
// "437, 737, ... and 1258".
std::string CodePageNumbers();

// The code of the character in the code page; false when it has none.
bool CodeOfCharacter(const CodePage& code_page, char32_t character,
                     std::size_t* code);

// U+F000 + code: the character that stands for a code itself where a font
// keyed by characters has a glyph for a code with none (the Linux
// console's direct-to-font range).
constexpr char32_t kDirectCharacters = 0xF000;

// The code of a character of that range; false for any other.
bool DirectCode(char32_t character, std::size_t* code);

// The character a font keyed by characters gives the code's glyph: its
// character in the code page, or, for a code without one or with one that
// an earlier code has too, its direct character.
char32_t CharacterOfCode(const CodePage& code_page, std::size_t code);

}  // namespace mdlReplace
