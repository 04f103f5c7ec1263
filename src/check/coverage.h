// Whether a font draws every character of a translation's texts: which
// characters the code page lacks, which fall on a blank glyph, and which
// other code page would serve the texts better. Pure functions over bytes,
// for the program's --check and the page alike.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "check/text_tally.h"
#include "fonts/code_pages.h"
#include "fonts/font.h"

namespace mdlReplace {

// No translation's text is longer: a longer file is refused unread.
constexpr std::uint64_t kLargestText = std::uint64_t{64} * 1024 * 1024;

struct CharacterUse {
  char32_t character = 0;
  std::uint64_t count = 0;
  TextPlace first;
  std::size_t code = 0;  // in the code page, where it has the character
};

// Why a first place the report lists is not known: the texts are read a
// second time for the places the tally did not keep, and a file that
// cannot be read again as it was read ends that reading.
enum class PlaceUnknown {
  NotReadAgain,  // the texts were not read a second time
  Pipe,          // a pipe, whose bytes are read once
  Changed,       // a file that holds other bytes than it did
  Unreadable,    // a file that could not be opened or read again
};

struct Coverage {
  const CodePage* code_page = nullptr;
  std::size_t files = 0;
  std::uint64_t characters = 0;  // every one counted, drawn or not
  // How often the texts show each code, for a grid to mark.
  std::array<std::uint64_t, kGlyphCount> uses_of_code{};
  // Each by count, the most used first: of those the code page has no code
  // for, as many as are to be listed, and how many there are in all and
  // how often they are used; and all whose code's glyph is blank.
  std::vector<CharacterUse> lacking;
  std::size_t lacking_count = 0;
  std::uint64_t lacking_uses = 0;
  std::vector<CharacterUse> blank;
  // The known code page that lacks the fewest of the characters the named
  // one lacks, when it lacks fewer; null when none does.
  const CodePage* better = nullptr;
  std::size_t better_lacks = 0;
  // Whether better is so once the texts are composed (NFC): their letters
  // and combining marks made the letters they compose. It may then be the
  // code page checked in itself.
  bool better_composed = false;
  // Why the first places not known are not, and the file the second
  // reading of the texts stopped at.
  PlaceUnknown unplaced = PlaceUnknown::NotReadAgain;
  std::size_t unplaced_file = 0;

  bool AllDrawn() const { return lacking_count == 0 && blank.empty(); }
};

// Every known code page once, in the order a translator would pick them
// where they serve a text equally well: the suggestion's among equals.
std::span<const int> PreferredCodePages();

// Every character a code page lacks is to be listed.
constexpr std::size_t kEveryCharacter = SIZE_MAX;

// The characters counted, against the font's glyphs at their codes in the
// code page, the listed most used of those it lacks kept: memory does not
// grow with them. Space and no-break space are drawn blank on purpose. The
// first places are those the tally kept; the rest are not known yet.
Coverage CheckCoverage(const TextTally& tally, const FontImage& font,
                       const CodePage& code_page,
                       std::size_t listed = kEveryCharacter);

// The characters of the coverage whose first place is not known, in order:
// what a second reading of the texts is to find.
std::vector<char32_t> Unplaced(const Coverage& coverage);

// Gives each character of the coverage whose first place is not known the
// one the tally kept, if it lies in a file before the one given.
void FillFirstPlaces(const TextTally& tally, std::size_t before_file,
                     Coverage* coverage);

}  // namespace mdlReplace
