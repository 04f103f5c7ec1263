#include "check/coverage.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>

namespace mdlReplace {

namespace {

constexpr char32_t kSpace = 0x20;
constexpr char32_t kNoBreakSpace = 0xA0;
// Of the characters a code page lacks, those kept to be listed are trimmed
// once there are twice as many and this many more.
constexpr std::size_t kFewestKept = 1024;

// A code page's characters in order, each with its first code, to find
// many characters quickly: a text may use thousands of different ones.
class CharacterIndex {
 public:
  explicit CharacterIndex(const CodePage& code_page) {
    for (std::size_t code = 0; code < kGlyphCount; ++code) {
      if (code_page.characters[code] != 0)
        entries_.emplace_back(code_page.characters[code], code);
    }
    std::sort(entries_.begin(), entries_.end());
  }

  // As CodeOfCharacter finds it: the first code that shows it.
  bool Find(char32_t character, std::size_t* code) const {
    const auto at =
        std::lower_bound(entries_.begin(), entries_.end(), character,
                         [](const Entry& entry, char32_t wanted) {
                           return entry.first < wanted;
                         });
    if (at == entries_.end() || at->first != character)
      return false;
    *code = at->second;
    return true;
  }

 private:
  using Entry = std::pair<char32_t, std::size_t>;
  std::vector<Entry> entries_;
};

bool IsBlank(const FontImage& font, std::size_t code) {
  const auto glyph = font.begin() + static_cast<std::ptrdiff_t>(code * 8);
  return std::all_of(glyph, glyph + kGlyphSize,
                     [](std::uint8_t row) { return row == 0; });
}

// Drawn blank on purpose: no glyph is wanted there.
bool MeantBlank(char32_t character) {
  return character == kSpace || character == kNoBreakSpace;
}

// The code pages a translator would pick, for the suggestion among those
// that lack equally few: by the languages they are made for, the more
// widely written first, so that a text is not sent to another group's
// page for the letters it carries too (German's „“ to the Baltic 775,
// French to the Arabic 1256); within a group, the DOS pages before the
// Windows one, since the game is a DOS game, and the common before the
// rare (850 before 860 to 865, 866 before 855, 737 before 869).
constexpr int kPreferredCodePages[] = {
    437,  850,  860,  861, 863, 865, 1252,  // Western Europe
    866,  855,  1251,                       // Cyrillic
    852,  1250,                             // Central Europe
    737,  869,  1253,                       // Greek
    857,  1254,                             // Turkish
    775,  1257,                             // Baltic
    862,  1255,                             // Hebrew
    864,  1256,                             // Arabic
    1258,                                   // Vietnamese
};

}  // namespace

std::span<const int> PreferredCodePages() {
  return kPreferredCodePages;
}

namespace {

// How the characters' counts change once the texts are composed (NFC):
// each letter and mark written decomposed become the letter they compose.
using Composing = std::map<char32_t, std::int64_t>;

Composing ComposingOf(const std::vector<ComposableUse>& composable) {
  Composing change;
  for (const ComposableUse& use : composable) {
    const auto count = static_cast<std::int64_t>(use.count);
    change[use.letter] -= count;
    change[use.mark] -= count;
    change[use.composed] += count;
  }
  return change;
}

// How many of the characters counted (as composing changes them: a letter
// or mark used only decomposed goes, a letter they compose comes) the code
// page lacks.
std::size_t LacksOf(const CodePage& code_page, const TextTally& tally,
                    const Composing& change) {
  const CharacterIndex index(code_page);
  std::size_t lacks = 0;
  std::size_t code = 0;
  for (char32_t character = tally.NextUsed(0); character != kNoCharacter;
       character = tally.NextUsed(character + 1)) {
    const auto changed = change.find(character);
    const bool used =
        changed == change.end() ||
        static_cast<std::int64_t>(tally.CountOf(character)) + changed->second >
            0;
    if (used && !index.Find(character, &code))
      ++lacks;
  }
  for (const auto& [character, count] : change) {
    if (count > 0 && tally.CountOf(character) == 0 &&
        !index.Find(character, &code))
      ++lacks;
  }
  return lacks;
}

// Of the code pages (but the one checked in), the one that lacks the
// fewest of the characters when it lacks fewer than fewest, the first of
// the preferred among equals; null when none does.
const CodePage* LackingFewest(const TextTally& tally, const Composing& change,
                              const CodePage* checked, std::size_t* fewest) {
  const CodePage* found = nullptr;
  for (const int number : PreferredCodePages()) {
    const CodePage& other = *FindCodePage(number);
    if (&other == checked)
      continue;
    const std::size_t lacks = LacksOf(other, tally, change);
    if (lacks < *fewest) {
      *fewest = lacks;
      found = &other;
    }
  }
  return found;
}

// The code page that would serve the texts better: as they are, or, where
// that serves better still, composed (NFC), which may be the code page
// checked in itself.
void FindBetterCodePage(const TextTally& tally, Coverage* coverage) {
  std::size_t fewest = coverage->lacking_count;
  const CodePage* better =
      LackingFewest(tally, Composing(), coverage->code_page, &fewest);
  if (better != nullptr) {
    coverage->better = better;
    coverage->better_lacks = fewest;
  }
  const std::vector<ComposableUse> composable = tally.Composable();
  if (composable.empty())
    return;
  const Composing change = ComposingOf(composable);
  const CodePage* composed_better = nullptr;
  const std::size_t lacks_here = LacksOf(*coverage->code_page, tally, change);
  if (lacks_here < fewest) {
    fewest = lacks_here;
    composed_better = coverage->code_page;
  }
  const CodePage* other =
      LackingFewest(tally, change, coverage->code_page, &fewest);
  if (other != nullptr)
    composed_better = other;
  if (composed_better != nullptr) {
    coverage->better = composed_better;
    coverage->better_lacks = fewest;
    coverage->better_composed = true;
  }
}

// The most used first; among equals, in the order of the characters.
bool UsedMore(const CharacterUse& a, const CharacterUse& b) {
  return a.count != b.count ? a.count > b.count : a.character < b.character;
}

bool InCharacterOrder(const CharacterUse& a, const CharacterUse& b) {
  return a.character < b.character;
}

// Keeps the listed most used of the uses, in memory that does not grow
// with the texts: past twice that many, the rest go.
void KeepMostUsed(std::vector<CharacterUse>* uses, std::size_t listed) {
  if (uses->size() <= listed)
    return;
  std::nth_element(uses->begin(),
                   uses->begin() + static_cast<std::ptrdiff_t>(listed),
                   uses->end(), UsedMore);
  uses->resize(listed);
}

}  // namespace

Coverage CheckCoverage(const TextTally& tally, const FontImage& font,
                       const CodePage& code_page, std::size_t listed) {
  Coverage coverage;
  coverage.code_page = &code_page;
  coverage.files = tally.files();
  const CharacterIndex index(code_page);
  for (char32_t character = tally.NextUsed(0); character != kNoCharacter;
       character = tally.NextUsed(character + 1)) {
    CharacterUse use{character, tally.CountOf(character), TextPlace(), 0};
    coverage.characters += use.count;
    if (!index.Find(character, &use.code)) {
      ++coverage.lacking_count;
      coverage.lacking_uses += use.count;
      coverage.lacking.push_back(use);
      if (listed < kEveryCharacter / 4 &&
          coverage.lacking.size() >= 2 * listed + kFewestKept)
        KeepMostUsed(&coverage.lacking, listed);
      continue;
    }
    coverage.uses_of_code[use.code] += use.count;
    if (IsBlank(font, use.code) && !MeantBlank(use.character))
      coverage.blank.push_back(use);
  }
  KeepMostUsed(&coverage.lacking, listed);
  FillFirstPlaces(tally, tally.files(), &coverage);
  if (coverage.lacking_count != 0)
    FindBetterCodePage(tally, &coverage);
  return coverage;
}

std::vector<char32_t> Unplaced(const Coverage& coverage) {
  std::vector<char32_t> unplaced;
  for (const auto* uses : {&coverage.lacking, &coverage.blank}) {
    for (const CharacterUse& use : *uses) {
      if (!use.first.Known())
        unplaced.push_back(use.character);
    }
  }
  std::sort(unplaced.begin(), unplaced.end());
  return unplaced;
}

void FillFirstPlaces(const TextTally& tally, std::size_t before_file,
                     Coverage* coverage) {
  for (auto* uses : {&coverage->lacking, &coverage->blank}) {
    std::sort(uses->begin(), uses->end(), InCharacterOrder);
    for (const FirstUse& kept : tally.KeptPlaces()) {
      const auto at =
          std::lower_bound(uses->begin(), uses->end(), kept.character,
                           [](const CharacterUse& use, char32_t character) {
                             return use.character < character;
                           });
      if (at != uses->end() && at->character == kept.character &&
          !at->first.Known() && kept.place.file < before_file)
        at->first = kept.place;
    }
    std::sort(uses->begin(), uses->end(), UsedMore);
  }
}

}  // namespace mdlReplace
