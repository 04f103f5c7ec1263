#include "check/text_tally.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace mdlReplace {

namespace {

constexpr char32_t kLargestCharacter = 0x10FFFF;
constexpr char32_t kByteOrderMark = 0xFEFF;
constexpr std::size_t kPageCount = (kLargestCharacter >> 8) + 1;

// A lead byte's sequence as Unicode's table of well-formed UTF-8 gives it:
// how many bytes follow, its bits, and the range of the second byte, which
// rules out the overlong forms, the surrogates and what lies past
// U+10FFFF. A byte no row covers begins no character.
struct LeadByte {
  std::uint8_t first;
  std::uint8_t last;
  int continuations;
  std::uint8_t bits;
  std::uint8_t second_lowest;
  std::uint8_t second_highest;
};

constexpr LeadByte kLeadBytes[] = {
    {0xC2, 0xDF, 1, 0x1F, 0x80, 0xBF}, {0xE0, 0xE0, 2, 0x0F, 0xA0, 0xBF},
    {0xE1, 0xEC, 2, 0x0F, 0x80, 0xBF}, {0xED, 0xED, 2, 0x0F, 0x80, 0x9F},
    {0xEE, 0xEF, 2, 0x0F, 0x80, 0xBF}, {0xF0, 0xF0, 3, 0x07, 0x90, 0xBF},
    {0xF1, 0xF3, 3, 0x07, 0x80, 0xBF}, {0xF4, 0xF4, 3, 0x07, 0x80, 0x8F},
};

struct Composition {
  char32_t letter;
  char32_t mark;
  char32_t composed;
};

constexpr Composition kCompositions[] = {
#include "check/compositions.inc"
};

// The marks of the table lie in this range: a character outside it is
// none, and costs the hot path one comparison.
constexpr char32_t kFirstComposingMark = 0x0300;
constexpr char32_t kLastComposingMark = 0x0655;

}  // namespace

// The table of places is made whole at the start: its memory is taken as
// it is written, never copied to grow.
TextTally::TextTally()
    : pages_(kPageCount),
      used_(kLargestCharacter + 1),
      composable_(std::size(kCompositions)) {
  first_uses_.reserve(kKeptPlaces);
}

TextTally::TextTally(std::vector<char32_t> sought)
    : pages_(kPageCount),
      used_(kLargestCharacter + 1),
      seeking_(true),
      sought_(std::move(sought)),
      composable_(std::size(kCompositions)) {
  first_uses_.reserve(sought_.size());
}

void TextTally::BeginFile() {
  ++files_;
  offset_ = 0;
  line_ = 1;
  line_start_ = 0;
  column_ = 0;
  after_carriage_return_ = false;
  previous_ = 0;
  continuations_ = 0;
  broken_ = false;
  break_ = Utf8Break();
}

bool TextTally::Read(std::span<const std::uint8_t> piece) {
  if (broken_)
    return false;
  for (std::size_t i = 0; i < piece.size(); ++i) {
    const std::uint8_t byte = piece[i];
    char32_t character = byte;
    if (continuations_ > 0) {
      if (byte < lowest_ || byte > highest_)
        return Break(lead_at_, lead_);
      partial_ = partial_ << 6 | (byte & 0x3F);
      lowest_ = 0x80;
      highest_ = 0xBF;
      if (--continuations_ > 0 || (partial_ == kByteOrderMark && lead_at_ == 0))
        continue;
      character = partial_;
    } else if (byte == '\n' || byte == '\r') {
      EndLine(byte, offset_ + i);
      continue;
    } else if (byte >= 0xC2 && byte <= 0xDF && i + 1 < piece.size() &&
               (piece[i + 1] & 0xC0) == 0x80) {
      // A letter of Cyrillic, Greek or Latin with a mark, whole in the
      // piece: its two bytes at once.
      character =
          static_cast<char32_t>((byte & 0x1F) << 6 | (piece[++i] & 0x3F));
    } else if (byte >= 0x80) {
      if (!Lead(byte, offset_ + i))
        return Break(offset_ + i, byte);
      continue;
    }
    // The hot path: a character, most often one used before.
    after_carriage_return_ = false;
    ++column_;
    if (character - kFirstComposingMark <=
        kLastComposingMark - kFirstComposingMark)
      CountComposable(character);
    previous_ = character;
    if (IsControl(character)) {
      // A text file holds no NUL; UTF-16 text holds one in every character
      // of ASCII, and its other bytes may all pass for UTF-8.
      if (character == 0)
        return Break(offset_ + i, 0);
      continue;
    }
    Page* page = pages_[character >> 8].get();
    if (page == nullptr || (*page)[character & 0xFF]++ == 0)
      CountFirstUse(character);
  }
  offset_ += piece.size();
  return true;
}

bool TextTally::EndFile() {
  if (!broken_ && continuations_ > 0)
    Break(lead_at_, lead_);
  return !broken_;
}

char32_t TextTally::NextUsed(char32_t from) const {
  for (char32_t character = from; character <= kLargestCharacter;) {
    if (pages_[character >> 8] == nullptr) {
      character = (character | 0xFF) + 1;  // the next page
      continue;
    }
    if (used_[character])
      return character;
    ++character;
  }
  return kNoCharacter;
}

std::vector<ComposableUse> TextTally::Composable() const {
  std::vector<ComposableUse> uses;
  for (std::size_t i = 0; i < composable_.size(); ++i) {
    if (composable_[i] != 0) {
      const Composition& composition = kCompositions[i];
      uses.push_back({composition.letter, composition.mark,
                      composition.composed, composable_[i]});
    }
  }
  return uses;
}

// A mark after a letter it composes with is counted with it.
void TextTally::CountComposable(char32_t mark) {
  const Composition wanted{previous_, mark, 0};
  const auto at = std::lower_bound(
      std::begin(kCompositions), std::end(kCompositions), wanted,
      [](const Composition& a, const Composition& b) {
        return a.letter != b.letter ? a.letter < b.letter : a.mark < b.mark;
      });
  if (at != std::end(kCompositions) && at->letter == previous_ &&
      at->mark == mark)
    ++composable_[static_cast<std::size_t>(at - std::begin(kCompositions))];
}

void TextTally::EndLine(std::uint8_t byte, std::uint64_t at) {
  // The line feed of a carriage return and line feed ends no second line.
  if (byte == '\r' || !after_carriage_return_)
    ++line_;
  after_carriage_return_ = byte == '\r';
  line_start_ = at + 1;
  column_ = 0;
  previous_ = 0;
}

bool TextTally::Lead(std::uint8_t byte, std::uint64_t at) {
  for (const LeadByte& lead : kLeadBytes) {
    if (byte >= lead.first && byte <= lead.last) {
      continuations_ = lead.continuations;
      partial_ = byte & lead.bits;
      lowest_ = lead.second_lowest;
      highest_ = lead.second_highest;
      lead_at_ = at;
      lead_ = byte;
      return true;
    }
  }
  return false;
}

// A character's first use, counted: its page made if need be, its place
// kept if the table keeps it; or the use after its count went past 32 bits.
void TextTally::CountFirstUse(char32_t character) {
  std::unique_ptr<Page>& page = pages_[character >> 8];
  if (page == nullptr) {
    page = std::make_unique<Page>();
    (*page)[character & 0xFF] = 1;
  }
  if (used_[character]) {
    ++wrapped_[character];
    return;
  }
  used_[character] = true;
  const std::size_t file = files_ - 1;
  if (!Keeps(character)) {
    unkept_from_ = std::min(unkept_from_, file);
    return;
  }
  first_uses_.push_back(
      {character, TextPlace{static_cast<std::uint32_t>(file),
                            static_cast<std::uint32_t>(line_),
                            static_cast<std::uint32_t>(column_)}});
}

bool TextTally::Keeps(char32_t character) const {
  if (!seeking_)
    return first_uses_.size() < kKeptPlaces;
  return std::binary_search(sought_.begin(), sought_.end(), character);
}

bool TextTally::Break(std::uint64_t at, std::uint8_t value) {
  broken_ = true;
  continuations_ = 0;
  break_ = {line_, at - line_start_ + 1, value};
  return false;
}

std::uint64_t TextTally::CountOf(char32_t character) const {
  if (character > kLargestCharacter || pages_[character >> 8] == nullptr)
    return 0;
  const Page& page = *pages_[character >> 8];
  const std::uint32_t count = page[character & 0xFF];
  const auto wrapped = wrapped_.find(character);
  // A count that went past 32 bits to 0 with no use after it.
  const std::uint64_t times =
      (wrapped == wrapped_.end() ? 0 : wrapped->second) +
      (count == 0 && used_[character] ? 1 : 0);
  return times << 32 | count;
}

}  // namespace mdlReplace
