#include "check/check_report.h"

#include <algorithm>

#include "fonts/code_pages.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kLacking = "Not in code page ";
constexpr std::string_view kBlank = "With a blank glyph:\n";
constexpr std::string_view kPlaceNotKnown = "first place not known";
constexpr std::string_view kHexDigits = "0123456789ABCDEF";
// Windows' editors save "Unicode" as UTF-16: a NUL in each character of
// ASCII, and the bytes FF FE (or FE FF) at the start.
constexpr std::string_view kMayBeUtf16 =
    "\r\nIt may be UTF-16 text: save it as UTF-8.";

struct CharacterRange {
  char32_t first;
  char32_t last;
};

// Characters that a terminal or a message box would not show, or would let
// change the lines around them (the invisible ones, the spaces and the
// braille blank, the marks of writing direction, the line and paragraph
// separators): shown by their number alone.
constexpr CharacterRange kNotShown[] = {
    {0x0020, 0x0020}, {0x00A0, 0x00A0}, {0x00AD, 0x00AD},   {0x034F, 0x034F},
    {0x061C, 0x061C}, {0x115F, 0x1160}, {0x17B4, 0x17B5},   {0x180B, 0x180F},
    {0x2000, 0x200F}, {0x2028, 0x202F}, {0x205F, 0x206F},   {0x2800, 0x2800},
    {0x3000, 0x3000}, {0x3164, 0x3164}, {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},
    {0xFFA0, 0xFFA0}, {0xFFF0, 0xFFFB}, {0xE0000, 0xE0FFF},
};

// The combining marks, which alone would land on the character before
// them: shown on a dotted circle, as character charts show them.
constexpr CharacterRange kCombiningMarks[] = {
#include "check/combining_marks.inc"
};
constexpr char32_t kDottedCircle = 0x25CC;

bool InRanges(std::span<const CharacterRange> ranges, char32_t character) {
  return std::any_of(
      ranges.begin(), ranges.end(), [character](const CharacterRange& range) {
        return character >= range.first && character <= range.last;
      });
}

// "3,412": a count as the summary gives it.
std::string Grouped(std::uint64_t number) {
  std::string digits = std::to_string(number);
  for (std::size_t at = digits.size(); at > 3; at -= 3)
    digits.insert(at - 3, ",");
  return digits;
}

std::string Counted(std::uint64_t number, std::string_view thing) {
  return Grouped(number) + " " + std::string(thing) + (number == 1 ? "" : "s");
}

std::string Hex(std::uint32_t number, std::size_t digits) {
  std::string text(digits, '0');
  for (std::size_t at = digits; at-- > 0; number >>= 4)
    text[at] = kHexDigits[number & 0xF];
  return text;
}

std::string Utf8(char32_t character) {
  std::string bytes;
  if (character < 0x80) {
    bytes += static_cast<char>(character);
  } else if (character < 0x800) {
    bytes += static_cast<char>(0xC0 | character >> 6);
    bytes += static_cast<char>(0x80 | (character & 0x3F));
  } else if (character < 0x10000) {
    bytes += static_cast<char>(0xE0 | character >> 12);
    bytes += static_cast<char>(0x80 | (character >> 6 & 0x3F));
    bytes += static_cast<char>(0x80 | (character & 0x3F));
  } else {
    bytes += static_cast<char>(0xF0 | character >> 18);
    bytes += static_cast<char>(0x80 | (character >> 12 & 0x3F));
    bytes += static_cast<char>(0x80 | (character >> 6 & 0x3F));
    bytes += static_cast<char>(0x80 | (character & 0x3F));
  }
  return bytes;
}

// "first at sr.txt:1:5", or why the first place is not known.
std::string FirstPlace(const TextPlace& place, const std::string& not_known,
                       std::span<const std::string> names) {
  if (!place.Known())
    return not_known;
  return "first at " + names[place.file] + ":" + std::to_string(place.line) +
         ":" + std::to_string(place.column);
}

// Said where a first place would stand: the second reading of the texts,
// which finds the places of the characters past the first the tally
// keeps, stopped at a file.
std::string PlaceNotKnown(const Coverage& coverage,
                          std::span<const std::string> names) {
  const std::string not_known(kPlaceNotKnown);
  if (coverage.unplaced == PlaceUnknown::NotReadAgain)
    return std::string(kPlaceNotKnown);
  const std::string& name = names[coverage.unplaced_file];
  switch (coverage.unplaced) {
    case PlaceUnknown::Pipe:
      return not_known + ": " + name + " is a pipe, read only once";
    case PlaceUnknown::Changed:
      return not_known + ": " + name + " changed after it was read";
    default:
      return not_known + ": " + name + " could not be read again";
  }
}

// One line a character, by count, the count right-aligned; then, past the
// limit, how many more of the count in all and how often they are used,
// of the uses in all.
std::string ListOf(const std::vector<CharacterUse>& uses, std::size_t count,
                   std::uint64_t used, bool with_code,
                   const std::string& not_known,
                   std::span<const std::string> names, bool all) {
  const std::size_t listed =
      all ? uses.size() : std::min(uses.size(), kListedCharacters);
  const std::size_t width = Grouped(uses.front().count).size();
  std::string list;
  for (std::size_t i = 0; i < listed; ++i) {
    const CharacterUse& use = uses[i];
    const std::string count = Grouped(use.count);
    list += std::string(2 + width - count.size(), ' ') + count + "  " +
            CharacterName(use.character) + "  " +
            (with_code ? "at code 0x" + Hex(use.code, 2) + ", " : "") +
            FirstPlace(use.first, not_known, names) + "\n";
  }
  if (listed == count)
    return list;
  std::uint64_t rest = used;
  for (std::size_t i = 0; i < listed; ++i)
    rest -= uses[i].count;
  return list + "  and " + Grouped(count - listed) + " more, used " +
         Counted(rest, "time") + "\n";
}

std::uint64_t UsesOf(const std::vector<CharacterUse>& uses) {
  std::uint64_t total = 0;
  for (const CharacterUse& use : uses)
    total += use.count;
  return total;
}

std::string Summary(const Coverage& coverage) {
  const std::string files = Counted(coverage.files, "file");
  if (coverage.characters == 0)
    return files + (coverage.files == 1 ? " holds" : " hold") +
           " no character to draw";
  if (coverage.AllDrawn())
    return "all " + Counted(coverage.characters, "character") + " of " + files +
           " can be drawn";
  std::string parts;
  if (coverage.lacking_count != 0)
    parts += Grouped(coverage.lacking_count) + " not in code page " +
             std::to_string(coverage.code_page->number);
  if (!coverage.blank.empty())
    parts += (parts.empty() ? "" : ", ") + Grouped(coverage.blank.size()) +
             " with a blank glyph";
  // Characters and their uses are two counts: each said with its word.
  const std::size_t undrawn = coverage.lacking_count + coverage.blank.size();
  const std::uint64_t uses = coverage.lacking_uses + UsesOf(coverage.blank);
  return Counted(undrawn, "character") + ", used " + Counted(uses, "time") +
         ", cannot be drawn: " + parts;
}

std::string BetterCodePage(const Coverage& coverage) {
  const std::string name =
      "code page " + std::to_string(coverage.better->number);
  if (coverage.better_composed) {
    const std::string lets = "composing the text (NFC) lets " + name;
    if (coverage.better_lacks == 0)
      return lets + " draw it";
    return lets + " draw all but " +
           Counted(coverage.better_lacks, "character") + " of it";
  }
  if (coverage.better_lacks == 0)
    return name + " has every letter of this text";
  return name + " has all but " + Counted(coverage.better_lacks, "character") +
         " of this text";
}

}  // namespace

std::string CharacterName(char32_t character) {
  const std::size_t digits =
      character > 0xFFFFF ? 6 : (character > 0xFFFF ? 5 : 4);
  std::string name = "U+" + Hex(character, digits);
  if (InRanges(kNotShown, character))
    return name;
  if (InRanges(kCombiningMarks, character))
    return name + " " + Utf8(kDottedCircle) + Utf8(character);
  return name + " " + Utf8(character);
}

std::string NotUtf8(const std::string& name, const Utf8Break& broken) {
  const bool utf16_mark = broken.line == 1 && broken.byte == 1 &&
                          (broken.value == 0xFF || broken.value == 0xFE);
  return name + " is not UTF-8 text: it stops being so in line " +
         std::to_string(broken.line) + ", at byte " +
         std::to_string(broken.byte) + " of that line (0x" +
         Hex(broken.value, 2) + ")." +
         (broken.value == 0 || utf16_mark ? std::string(kMayBeUtf16) : "");
}

std::string TextTooLong(const std::string& name) {
  return name + " is over 64 MiB, too long for a translation's text.";
}

std::string CheckedInCodePage(const CodePage& code_page,
                              const CodePageUse& use) {
  return "Checked in code page " + std::to_string(code_page.number) +
         WhyCodePageGoneBy(use);
}

std::string DescribeCoverage(const Coverage& coverage,
                             std::span<const std::string> names, bool all) {
  const std::string not_known = PlaceNotKnown(coverage, names);
  std::string report;
  if (coverage.lacking_count != 0)
    report += std::string(kLacking) +
              std::to_string(coverage.code_page->number) + ":\n" +
              ListOf(coverage.lacking, coverage.lacking_count,
                     coverage.lacking_uses, false, not_known, names, all);
  if (!coverage.blank.empty())
    report += std::string(kBlank) +
              ListOf(coverage.blank, coverage.blank.size(),
                     UsesOf(coverage.blank), true, not_known, names, all);
  report += Summary(coverage) + "\n";
  if (coverage.better != nullptr)
    report += BetterCodePage(coverage) + "\n";
  return report;
}

}  // namespace mdlReplace
