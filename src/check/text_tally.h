// The characters of a translation's texts, counted as the texts are read:
// UTF-8 decoded a piece at a time, in one pass and bounded memory, each
// character's count and, for as many as a table holds, the place it is
// first used.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <vector>

namespace mdlReplace {

// Where a character stands: the file (0 for the first one read), the line
// and the column, both counted from 1. A column counts characters, not
// bytes; a line ends at a line feed, a carriage return, or the two. A
// text is at most 64 MiB long, so each fits 32 bits. Line 0 is a place
// not known.
struct TextPlace {
  std::uint32_t file = 0;
  std::uint32_t line = 0;
  std::uint32_t column = 0;
  bool Known() const { return line != 0; }
  bool operator==(const TextPlace&) const = default;
};

// Where a file stops being UTF-8 text: the line, the byte in that line
// (from 1) at which the first sequence that is no UTF-8 character begins,
// or the first NUL, which no text file holds, and that byte's value.
struct Utf8Break {
  std::uint64_t line = 0;
  std::uint64_t byte = 0;
  std::uint8_t value = 0;
  bool operator==(const Utf8Break&) const = default;
};

struct FirstUse {
  char32_t character = 0;
  TextPlace place;
};

// The first places kept, of the first characters the texts use: any real
// translation uses fewer, and the table stays about 1 MB however many a
// text of every character uses. The place of one past them is found, if it
// is reported, by reading the texts again.
constexpr std::size_t kKeptPlaces = 65536;

// No character: what NextUsed gives past the last one used.
constexpr char32_t kNoCharacter = 0xFFFFFFFF;

// A letter and a combining mark after it that compose one letter of the
// code pages, and how often the texts write it so (decomposed, NFD).
struct ComposableUse {
  char32_t letter = 0;
  char32_t mark = 0;
  char32_t composed = 0;
  std::uint64_t count = 0;
};

// The controls (C0, DEL and C1) are no characters the game draws: a line
// break ends a line and shows nothing. They are never counted.
inline bool IsControl(char32_t character) {
  return character < 0x20 || (character >= 0x7F && character < 0xA0);
}

class TextTally {
 public:
  // Keeps the first places of the first kKeptPlaces characters used.
  TextTally();
  // Keeps the first places of these characters only (in order), however
  // many: a second reading of the texts, for the places reported.
  explicit TextTally(std::vector<char32_t> sought);

  // Begins the next file: its places count from line 1, column 1, and a
  // byte order mark at its start is no character of it.
  void BeginFile();
  // Reads the next piece of the file's bytes. False once the file is found
  // not to be UTF-8 (broken() says where); the rest need not be read.
  bool Read(std::span<const std::uint8_t> piece);
  // Ends the file; false when it is not UTF-8, as when it ends in the
  // middle of a character.
  bool EndFile();

  const Utf8Break& broken() const { return break_; }
  std::size_t files() const { return files_; }
  // The first character used from this one on, in the order of their
  // numbers; kNoCharacter past the last.
  char32_t NextUsed(char32_t from) const;
  // The first places kept, by the order of first use.
  const std::vector<FirstUse>& KeptPlaces() const { return first_uses_; }
  // The first file that uses a character whose first place is not kept:
  // a second reading for them begins there. files() when there is none.
  std::size_t UnkeptFrom() const { return std::min(unkept_from_, files_); }
  // How often the character is used; 0 for one never used.
  std::uint64_t CountOf(char32_t character) const;
  // Each letter and mark the texts write that compose a letter of the code
  // pages, in the order of the table of them.
  std::vector<ComposableUse> Composable() const;

 private:
  using Page = std::array<std::uint32_t, 256>;

  void EndLine(std::uint8_t byte, std::uint64_t at);
  bool Lead(std::uint8_t byte, std::uint64_t at);
  void CountFirstUse(char32_t character);
  bool Keeps(char32_t character) const;
  bool Break(std::uint64_t at, std::uint8_t value);
  void CountComposable(char32_t mark);

  // Counts by character, in pages of 256 made on first use: at most 17
  // planes of them, however long the texts. A count that passes 32 bits
  // (a character used over 4 billion times in texts of 64 MiB each) goes
  // on from 0, and how often it did is kept apart, with which characters
  // were used, to tell its next use from a first one.
  std::vector<std::unique_ptr<Page>> pages_;
  std::vector<bool> used_;
  std::map<char32_t, std::uint64_t> wrapped_;
  // Each character kept and its first place, by the order of first use.
  std::vector<FirstUse> first_uses_;
  bool seeking_ = false;  // sought_ alone, not the first kKeptPlaces
  std::vector<char32_t> sought_;
  std::size_t unkept_from_ = SIZE_MAX;
  // How often each letter and mark of the table of compositions is written.
  std::vector<std::uint64_t> composable_;
  std::size_t files_ = 0;

  // The file being read.
  std::uint64_t offset_ = 0;  // of the piece being read
  std::uint64_t line_ = 1;
  std::uint64_t line_start_ = 0;
  std::uint64_t column_ = 0;  // characters of the line so far
  bool after_carriage_return_ = false;
  char32_t previous_ = 0;  // the character before, on this line
  // A character begun in one piece may end in the next.
  int continuations_ = 0;  // bytes still to come
  char32_t partial_ = 0;
  std::uint8_t lowest_ = 0x80;  // what the next byte may be
  std::uint8_t highest_ = 0xBF;
  std::uint64_t lead_at_ = 0;
  std::uint8_t lead_ = 0;
  bool broken_ = false;
  Utf8Break break_;
};

}  // namespace mdlReplace
