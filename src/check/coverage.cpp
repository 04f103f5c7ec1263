#include "check/coverage.h"

#include <algorithm>
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

// Of the other code pages, the one that lacks the fewest of the characters,
// the first of the table among equals: the DOS ones come first, and the
// game is a DOS game.
void FindBetterCodePage(const std::vector<CharacterCount>& counts,
                        Coverage* coverage) {
  std::size_t fewest = coverage->lacking.size();
  for (const CodePage& other : KnownCodePages()) {
    if (&other == coverage->code_page)
      continue;
    const CharacterIndex index(other);
    std::size_t lacks = 0;
    std::size_t code = 0;
    for (const CharacterCount& counted : counts) {
      if (!index.Find(counted.character, &code))
        ++lacks;
    }
    if (lacks < fewest) {
      fewest = lacks;
      coverage->better = &other;
      coverage->better_lacks = lacks;
    }
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
    FindBetterCodePage(counts, &coverage);
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
