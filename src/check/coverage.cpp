#include "check/coverage.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>

#include "check/check_report.h"

namespace mdlReplace {

namespace {

constexpr char32_t kSpace = 0x20;
constexpr char32_t kNoBreakSpace = 0xA0;

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

// The most used first; among equals, in the order of the characters.
void SortByCount(std::vector<CharacterUse>* uses) {
  std::sort(uses->begin(), uses->end(),
            [](const CharacterUse& a, const CharacterUse& b) {
              return a.count != b.count ? a.count > b.count
                                        : a.character < b.character;
            });
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

std::size_t LacksOf(const CodePage& code_page,
                    const std::vector<char32_t>& characters) {
  const CharacterIndex index(code_page);
  std::size_t lacks = 0;
  std::size_t code = 0;
  for (const char32_t character : characters) {
    if (!index.Find(character, &code))
      ++lacks;
  }
  return lacks;
}

// Of the code pages (the one checked in, where the characters are not its
// own), the one that lacks the fewest of the characters when it lacks
// fewer than fewest, the first of the preferred among equals; null when
// none does.
const CodePage* LackingFewest(const std::vector<char32_t>& characters,
                              const CodePage* checked, std::size_t* fewest) {
  const CodePage* found = nullptr;
  for (const int number : PreferredCodePages()) {
    const CodePage& other = *FindCodePage(number);
    if (&other == checked)
      continue;
    const std::size_t lacks = LacksOf(other, characters);
    if (lacks < *fewest) {
      *fewest = lacks;
      found = &other;
    }
  }
  return found;
}

// The characters as composing the texts (NFC) would leave them: each
// letter and mark the texts write decomposed become the letter they
// compose, and a letter or mark used only so goes.
std::vector<char32_t> ComposedCharacters(
    const std::vector<CharacterCount>& counts,
    const std::vector<ComposableUse>& composable) {
  std::map<char32_t, std::int64_t> change;
  for (const ComposableUse& use : composable) {
    const auto count = static_cast<std::int64_t>(use.count);
    change[use.letter] -= count;
    change[use.mark] -= count;
    change[use.composed] += count;
  }
  std::vector<char32_t> characters;
  for (const CharacterCount& counted : counts) {
    const auto found = change.find(counted.character);
    if (found == change.end()) {
      characters.push_back(counted.character);
      continue;
    }
    found->second += static_cast<std::int64_t>(counted.count);
  }
  for (const auto& [character, count] : change) {
    if (count > 0)
      characters.push_back(character);
  }
  return characters;
}

// The code page that would serve the texts better: as they are, or, where
// that serves better still, composed (NFC), which may be the code page
// checked in itself.
void FindBetterCodePage(const std::vector<CharacterCount>& counts,
                        const std::vector<ComposableUse>& composable,
                        Coverage* coverage) {
  std::vector<char32_t> characters;
  characters.reserve(counts.size());
  for (const CharacterCount& counted : counts)
    characters.push_back(counted.character);
  std::size_t fewest = coverage->lacking.size();
  const CodePage* better =
      LackingFewest(characters, coverage->code_page, &fewest);
  if (better != nullptr) {
    coverage->better = better;
    coverage->better_lacks = fewest;
  }
  if (composable.empty())
    return;
  const std::vector<char32_t> composed = ComposedCharacters(counts, composable);
  const CodePage* composed_better = nullptr;
  const std::size_t lacks_here = LacksOf(*coverage->code_page, composed);
  if (lacks_here < fewest) {
    fewest = lacks_here;
    composed_better = coverage->code_page;
  }
  const CodePage* other = LackingFewest(composed, coverage->code_page, &fewest);
  if (other != nullptr)
    composed_better = other;
  if (composed_better != nullptr) {
    coverage->better = composed_better;
    coverage->better_lacks = fewest;
    coverage->better_composed = true;
  }
}

}  // namespace

Coverage CheckCoverage(const TextTally& tally, const FontImage& font,
                       const CodePage& code_page) {
  Coverage coverage;
  coverage.code_page = &code_page;
  coverage.files = tally.files();
  const CharacterIndex index(code_page);
  const std::vector<CharacterCount> counts = tally.Counts();
  for (const CharacterCount& counted : counts) {
    coverage.characters += counted.count;
    CharacterUse use{counted.character, counted.count, counted.first, 0};
    if (!index.Find(counted.character, &use.code)) {
      coverage.lacking.push_back(use);
      continue;
    }
    coverage.uses_of_code[use.code] += use.count;
    if (IsBlank(font, use.code) && !MeantBlank(use.character))
      coverage.blank.push_back(use);
  }
  SortByCount(&coverage.lacking);
  SortByCount(&coverage.blank);
  if (!coverage.lacking.empty())
    FindBetterCodePage(counts, tally.Composable(), &coverage);
  return coverage;
}

CheckResult CheckTexts(const FontImage& font, const CodePage& code_page,
                       std::span<const TextFile> texts) {
  CheckResult result;
  TextTally tally;
  for (const TextFile& text : texts) {
    if (text.bytes.size() > kLargestText) {
      result.problem = TextTooLong(text.name);
      return result;
    }
    tally.BeginFile();
    if (!tally.Read(text.bytes) || !tally.EndFile()) {
      result.problem = NotUtf8(text.name, tally.broken());
      return result;
    }
  }
  result.coverage = CheckCoverage(tally, font, code_page);
  return result;
}

}  // namespace mdlReplace
