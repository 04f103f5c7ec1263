// Where a reader puts the glyphs of a font: those of a cell smaller than
// 8x8 within the cell, and those keyed by characters, not by the game's
// codes, at the code each character has in a code page.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>

#include "fonts/code_pages.h"
#include "fonts/font.h"
#include "fonts/formats.h"

namespace mdlReplace {

// A font's cell fits the game's when it is 8x8 or smaller, yet holds text
// a player can read: at least 5 pixels wide and 7 high. Its glyphs go into
// 8x8 cells, at the left and on the baseline, and the user is told; a font
// of smaller glyphs is refused with their size.
constexpr std::int64_t kNarrowestCell = 5;
constexpr std::int64_t kLowestCell = 7;
bool FitsCell(std::int64_t width, std::int64_t height);

// The rows below the baseline of the 8x8 cell that takes a cell of the
// ascent and descent given, which fits: its descent, or, where it has
// none, the one row an 8x8 font keeps for descenders, if the ascent
// leaves room.
std::int64_t RowsBelowBaseline(std::int64_t ascent, std::int64_t descent);

// Tells the use that glyphs of the size given, if smaller than 8x8, were
// placed in 8x8 cells.
void NoteGlyphSize(CodePageUse* use, std::int64_t width, std::int64_t height);

// "is keyed by characters, and this program has no table of code page 880
// to place them by: it has 437, ... and 1258.": a font whose glyphs were
// to be placed by a code page named without a table.
std::string LackedTable(const CodePageUse& use);

// Tells the use of a BDF's or PCF's character set, by its registry and
// encoding ("KOI8" and "R"; "MICROSOFT" and "CP1251"): the code page one
// of them names, where the program has it, else the set's name. Unicode's
// (ISO10646) is none: its glyphs are keyed by characters.
void NoteCharset(CodePageUse* use, std::string_view registry,
                 std::string_view encoding);

// Whether a font of codes, whose own code page the use was told, is to be
// placed by another one named, as a Windows font of a character set is.
bool PlacedFromOwn(const CodePageUse& use);

class GlyphPlacer {
 public:
  // Clears the font; what is placed goes into it, and the use is told.
  GlyphPlacer(CodePageUse* use, FontImage* font);

  // The code page glyphs keyed by character go by: the one named, else the
  // font's own where the use asks for it, or 437.
  // For a code page named without a table, one of no characters, and the
  // use is told that the font lacked a table.
  const CodePage& code_page() const;

  // The code a character's glyph goes to: the character's code in the code
  // page, or for U+F000 to U+F0FF, the Linux console's characters that
  // name a code of the font itself, that code. False for any other.
  bool CodeFor(char32_t character, std::size_t* code) const;

  // Puts the glyph at the code for the character; a character with none is
  // left out, and the first glyph for a code stays.
  void PlaceCharacter(char32_t character, const Glyph& glyph);
  // Puts a glyph given for a code of another code page where its character
  // goes; at the same code when it is the same code page.
  void PlaceFromCodePage(const CodePage& source, std::size_t code,
                         const Glyph& glyph);
  // Puts the glyph at the code of the code page itself.
  void PlaceAtCode(std::size_t code, const Glyph& glyph);

 private:
  CodePageUse* use_;
  FontImage* font_;
  std::bitset<kGlyphCount> placed_;
  CodePage no_characters_{};
};

}  // namespace mdlReplace
