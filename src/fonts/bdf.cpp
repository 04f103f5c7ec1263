// BDF 2.1, the bitmap font format of X and of bitmap-font editors. Each
// glyph comes with its own box (BBX) and is placed in the 8x8 cell whose
// lower left corner is that of the font's bounding box, or, for a smaller
// box, at the cell's left on its baseline.
#include <algorithm>
#include <array>
#include <bitset>
#include <charconv>
#include <cstdint>
#include <optional>

#include "base/names.h"
#include "fonts/codecs.h"
#include "fonts/placement.h"

namespace mdlReplace {

namespace {

// Larger boxes are no font of this program's; they are refused before their
// pixels are looked at.
constexpr int kLargestBox = 256;
// No keyword the reader reads takes more than four numbers: a line's words
// past the sixth tell nothing, and are never split off (a line of millions
// of them would take memory for each).
constexpr std::size_t kMostWords = 6;

// The keywords that can follow a glyph's last bitmap row: one of them in
// its place means the glyph lacks its end.
constexpr std::array<std::string_view, 8> kGlyphKeywords = {
    "STARTCHAR", "ENCODING", "SWIDTH",  "DWIDTH",
    "BBX",       "BITMAP",   "ENDCHAR", "ENDFONT"};

std::string MalformedLine(std::size_t line) {
  return std::string("is a BDF font with a malformed line ") +
         std::to_string(line) + ".";
}

std::string Lacks(std::string_view keyword, std::size_t line) {
  return std::string("is a BDF font that lacks an ") + std::string(keyword) +
         " line before line " + std::to_string(line) + ".";
}

std::string EndsBefore(std::string_view keyword) {
  return std::string("is a BDF font that ends before its ") +
         std::string(keyword) + " line.";
}

// A glyph of a font keyed by characters is named by its character, one
// of a font of codes by its code.
std::string OutsideCell(std::int64_t code, bool by_character) {
  const std::string glyph =
      by_character ? "glyph for " + UnicodeName(static_cast<char32_t>(code))
                   : "glyph 0x" + HexByte(static_cast<std::size_t>(code));
  return "is a BDF font whose " + glyph + " does not fit an 8x8 cell.";
}

std::string GivenTwice(std::int64_t code, std::size_t line) {
  return std::string("is a BDF font that gives glyph 0x") +
         HexByte(static_cast<std::size_t>(code)) + " twice (line " +
         std::to_string(line) + ").";
}

bool ParseInt(std::string_view word, int* value) {
  const char* end = word.data() + word.size();
  const auto [stop, error] = std::from_chars(word.data(), end, *value);
  return error == std::errc() && stop == end;
}

// The numbers after the keyword, exactly count of them.
bool ParseNumbers(const std::vector<std::string_view>& words, std::size_t count,
                  int* numbers) {
  if (words.size() < count + 1)
    return false;
  for (std::size_t i = 0; i < count; ++i) {
    if (!ParseInt(words[i + 1], &numbers[i]))
      return false;
  }
  return true;
}

// Sizes and offsets in pixels. Any int is taken, and the placing is done in
// 64 bits, where no sum of them can overflow.
struct Box {
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::int64_t x = 0;
  std::int64_t y = 0;
};

bool ParseBox(const std::vector<std::string_view>& words, Box* box) {
  int numbers[4];
  if (!ParseNumbers(words, 4, numbers) || numbers[0] < 0 || numbers[1] < 0 ||
      numbers[0] > kLargestBox || numbers[1] > kLargestBox)
    return false;
  *box = Box{numbers[0], numbers[1], numbers[2], numbers[3]};
  return true;
}

bool IsHexRow(std::string_view line, std::int64_t width) {
  if (static_cast<std::int64_t>(line.size()) * 4 < width)
    return false;
  return AllHexDigits(line);
}

bool IsGlyphKeyword(std::string_view line) {
  const std::string_view keyword = FirstWord(line);
  return !keyword.empty() &&
         std::find(kGlyphKeywords.begin(), kGlyphKeywords.end(), keyword) !=
             kGlyphKeywords.end();
}

// The registry of a font whose glyphs' codes are Unicode characters.
constexpr std::string_view kUnicodeRegistry = "ISO10646";

struct BdfGlyph {
  std::int64_t code = -1;
  bool encoded = false;       // its ENCODING line read: a glyph has one
  bool wanted = false;        // a code of the font's: read, or else left out
  bool by_character = false;  // its code is a Unicode character
  Box box;
  std::int64_t rows = 0;  // bitmap rows read so far
  Glyph cell{};
};

// A property's value, without the quotes a string has.
std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    return value.substr(1, value.size() - 2);
  return value;
}

// The value of a property line of the name; empty for another line.
std::string_view PropertyValue(const std::vector<std::string_view>& words,
                               std::string_view name) {
  return words.size() == 2 && words[0] == name ? Unquoted(words[1])
                                               : std::string_view();
}

// Puts the ink of one bitmap row, counted from the glyph's top, into the
// 8x8 cell, which lies in the font's coordinates where the box given does;
// an empty string, or what is wrong.
std::string PlaceRow(BdfGlyph* glyph, const Box& cell_box,
                     std::string_view row) {
  if (!glyph->wanted)
    return std::string();
  const std::int64_t cell = static_cast<std::int64_t>(kGlyphSize);
  // Counted from the cell's top row down.
  const std::int64_t cell_row =
      cell_box.y + cell - (glyph->box.y + glyph->box.height) + glyph->rows;
  for (std::int64_t column = 0; column < glyph->box.width; ++column) {
    const int digit = HexDigitValue(row[static_cast<std::size_t>(column / 4)]);
    if ((digit >> (3 - column % 4) & 1) == 0)
      continue;
    const std::int64_t cell_column = glyph->box.x - cell_box.x + column;
    if (cell_row < 0 || cell_row >= cell || cell_column < 0 ||
        cell_column >= cell)
      return OutsideCell(glyph->code, glyph->by_character);
    glyph->cell[static_cast<std::size_t>(cell_row)] |=
        static_cast<std::uint8_t>(0x80 >> cell_column);
  }
  return std::string();
}

enum class Part { Header, Properties, Glyph, Bitmap };

// Reads the file a line at a time, keeping only the glyph being read.
class BdfReader {
 public:
  BdfReader(CodePageUse* use, FontImage* font) : use_(use), font_(font) {
    font_->fill(0);
  }

  // An empty string, or what is wrong with the line.
  std::string Line(std::string_view line, std::size_t number);
  // Whether the ENDFONT line was read.
  bool ended() const { return ended_; }
  // Why no glyph went to a code, where none did; else an empty string.
  std::string Unplaced() const;
  // What is missing at the end of the file.
  std::string End() const;

 private:
  std::string BitmapLine(std::string_view line, std::size_t number);
  std::string Keyword(const std::vector<std::string_view>& words,
                      std::size_t number);
  std::string Encoding(const std::vector<std::string_view>& words,
                       std::size_t number);
  void PlaceGlyph();
  std::string PlaceCell();

  CodePageUse* use_;
  FontImage* font_;
  // Set when the glyphs are placed by their characters.
  std::optional<GlyphPlacer> placer_;
  bool unicode_ = false;
  // The character set the properties name.
  std::string registry_;
  std::string encoding_;
  Part part_ = Part::Header;
  Box font_box_;
  Box cell_box_;  // where the 8x8 cell lies
  bool have_font_box_ = false;
  BdfGlyph glyph_;
  std::bitset<kGlyphCount> seen_;
  bool ended_ = false;
  std::size_t glyphs_ = 0;     // read in all
  std::size_t unencoded_ = 0;  // of them at ENCODING -1
  std::size_t wanted_ = 0;     // of them at a code
};

std::string BdfReader::Line(std::string_view line, std::size_t number) {
  if (part_ == Part::Bitmap)
    return BitmapLine(line, number);
  const std::vector<std::string_view> words = Words(line, kMostWords);
  if (words.empty())
    return std::string();
  if (part_ == Part::Properties) {
    const std::string_view registry = PropertyValue(words, "CHARSET_REGISTRY");
    const std::string_view encoding = PropertyValue(words, "CHARSET_ENCODING");
    unicode_ = unicode_ || EqualIgnoringAsciiCase(registry, kUnicodeRegistry);
    if (!registry.empty())
      registry_ = registry;
    if (!encoding.empty())
      encoding_ = encoding;
    if (words[0] == "ENDPROPERTIES") {
      part_ = Part::Header;
      NoteCharset(use_, registry_, encoding_);
    } else if (words[0] == "CHARS" || words[0] == "STARTCHAR" ||
               words[0] == "ENDFONT")
      return Lacks("ENDPROPERTIES", number);
    return std::string();
  }
  return Keyword(words, number);
}

std::string BdfReader::BitmapLine(std::string_view line, std::size_t number) {
  if (line == "ENDCHAR") {
    if (glyph_.rows < glyph_.box.height)
      return MalformedLine(number);
    part_ = Part::Header;
    PlaceGlyph();
    return std::string();
  }
  if (!IsHexRow(line, glyph_.box.width)) {
    return IsGlyphKeyword(line) ? Lacks("ENDCHAR", number)
                                : MalformedLine(number);
  }
  if (glyph_.rows == glyph_.box.height)
    return MalformedLine(number);  // one row more than the box holds
  std::string problem = PlaceRow(&glyph_, cell_box_, line);
  ++glyph_.rows;
  return problem;
}

std::string BdfReader::Keyword(const std::vector<std::string_view>& words,
                               std::size_t number) {
  const std::string_view keyword = words[0];
  const bool in_glyph = part_ == Part::Glyph;
  if (keyword == "STARTPROPERTIES" && !in_glyph) {
    part_ = Part::Properties;
  } else if (keyword == "FONTBOUNDINGBOX" && !in_glyph) {
    if (!ParseBox(words, &font_box_))
      return MalformedLine(number);
    have_font_box_ = true;
    return PlaceCell();
  } else if (keyword == "STARTCHAR") {
    if (in_glyph)
      return Lacks("ENDCHAR", number);
    if (!have_font_box_)
      return MalformedLine(number);
    part_ = Part::Glyph;
    glyph_ = BdfGlyph{};
    glyph_.box = font_box_;
    if ((unicode_ || PlacedFromOwn(*use_)) && !placer_)
      placer_.emplace(use_, font_);
  } else if (keyword == "ENCODING") {
    if (!in_glyph)
      return MalformedLine(number);
    return Encoding(words, number);
  } else if (keyword == "BBX") {
    if (!in_glyph || !ParseBox(words, &glyph_.box))
      return MalformedLine(number);
  } else if (keyword == "BITMAP") {
    if (!in_glyph)
      return MalformedLine(number);
    part_ = Part::Bitmap;
  } else if (keyword == "ENDCHAR") {
    return MalformedLine(number);  // a glyph without its BITMAP
  } else if (keyword == "ENDFONT") {
    if (in_glyph)
      return Lacks("ENDCHAR", number);
    ended_ = true;
  }
  return std::string();
}

// The 8x8 cell lies at the font's box, or, where the box is smaller, at
// its left on its baseline. A larger box is not refused: only ink outside
// the cell is.
std::string BdfReader::PlaceCell() {
  const std::int64_t cell = static_cast<std::int64_t>(kGlyphSize);
  cell_box_ = font_box_;
  if (font_box_.width > cell || font_box_.height > cell)
    return std::string();
  if (!FitsCell(font_box_.width, font_box_.height))
    return NotEightByEight("BDF", font_box_.width, font_box_.height);
  NoteGlyphSize(use_, font_box_.width, font_box_.height);
  cell_box_.y =
      -RowsBelowBaseline(font_box_.y + font_box_.height, -font_box_.y);
  return std::string();
}

// A glyph is wanted at its code, or, placed by characters, when the code
// page has its character.
std::string BdfReader::Encoding(const std::vector<std::string_view>& words,
                                std::size_t number) {
  int code = 0;
  if (glyph_.encoded || !ParseNumbers(words, 1, &code))
    return MalformedLine(number);
  glyph_.encoded = true;
  glyph_.code = code;
  std::size_t placed_at = 0;
  if (unicode_) {
    glyph_.by_character = true;
    glyph_.wanted =
        code > 0 && placer_->CodeFor(static_cast<char32_t>(code), &placed_at);
  } else if (code >= 0 && code < static_cast<int>(kGlyphCount)) {
    if (seen_[static_cast<std::size_t>(code)])
      return GivenTwice(code, number);
    seen_.set(static_cast<std::size_t>(code));
    glyph_.wanted = true;
  }
  return std::string();
}

void BdfReader::PlaceGlyph() {
  ++glyphs_;
  unencoded_ += glyph_.code < 0 ? 1 : 0;
  if (!glyph_.wanted)
    return;
  ++wanted_;
  if (placer_ && unicode_) {
    placer_->PlaceCharacter(static_cast<char32_t>(glyph_.code), glyph_.cell);
    return;
  }
  if (placer_) {
    placer_->PlaceFromCodePage(
        *use_->own, static_cast<std::size_t>(glyph_.code), glyph_.cell);
    return;
  }
  std::copy(glyph_.cell.begin(), glyph_.cell.end(),
            font_->begin() + glyph_.code * std::int64_t{kGlyphSize});
}

std::string BdfReader::Unplaced() const {
  if (glyphs_ == 0)
    return NoGlyphAtAnyCode("it gives no glyph");
  if (wanted_ > 0)
    return std::string();
  const std::string count = std::to_string(glyphs_);
  if (unencoded_ == glyphs_)
    return NoGlyphAtAnyCode("its " + count + " glyphs all have ENCODING -1");
  if (placer_)
    return NoGlyphAtAnyCode("none of its " + count +
                            " glyphs is a character of code page " +
                            std::to_string(placer_->code_page().number));
  return NoGlyphAtAnyCode("none of its " + count +
                          " glyphs has a code from 0 to 255");
}

std::string BdfReader::End() const {
  switch (part_) {
    case Part::Header:
      break;
    case Part::Properties:
      return EndsBefore("ENDPROPERTIES");
    case Part::Glyph:
    case Part::Bitmap:
      return EndsBefore("ENDCHAR");
  }
  return EndsBefore("ENDFONT");
}

}  // namespace

bool LooksLikeBdf(std::span<const std::uint8_t> bytes) {
  return FirstWord(FirstTextLine(bytes)) == "STARTFONT";
}

std::string ReadBdf(std::span<const std::uint8_t> bytes, CodePageUse* use,
                    FontImage* font) {
  BdfReader reader(use, font);
  LineReader lines(bytes);
  std::string_view line;
  while (!reader.ended() && lines.Next(&line)) {
    std::string problem = reader.Line(line, lines.number());
    if (!problem.empty())
      return problem;
  }
  return reader.ended() ? reader.Unplaced() : reader.End();
}

}  // namespace mdlReplace
