// BDF 2.1, the bitmap font format of X and of bitmap-font editors. Each
// glyph comes with its own box (BBX) and is placed in the 8x8 cell whose
// lower left corner is that of the font's bounding box.
#include <algorithm>
#include <charconv>

#include "fonts/codecs.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kEndsEarly =
    "is a BDF font that ends before its ENDFONT line.";
// Larger boxes are no font of this program's; they are refused before their
// pixels are looked at.
constexpr int kLargestBox = 256;

// The font as this program writes it: 8x8 cells whose baseline is one row
// above the bottom.
constexpr std::string_view kHeader =
    "STARTFONT 2.1\n"
    "FONT -zyr2font-ZYR2-Medium-R-Normal--8-80-72-72-C-80-FontSpecific-0\n"
    "SIZE 8 72 72\n"
    "FONTBOUNDINGBOX 8 8 0 -1\n"
    "STARTPROPERTIES 3\n"
    "FONT_ASCENT 7\n"
    "FONT_DESCENT 1\n"
    "DEFAULT_CHAR 0\n"
    "ENDPROPERTIES\n"
    "CHARS 256\n";
constexpr std::string_view kGlyphHeader =
    "SWIDTH 1000 0\n"
    "DWIDTH 8 0\n"
    "BBX 8 8 0 -1\n"
    "BITMAP\n";

std::string MalformedLine(std::size_t line) {
  return std::string("is a BDF font with a malformed line ") +
         std::to_string(line) + ".";
}

std::string OutsideCell(int code) {
  return "is a BDF font whose glyph 0x" +
         HexByte(static_cast<std::size_t>(code)) + " does not fit an 8x8 cell.";
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while ((at = line.find_first_not_of(" \t", at)) != std::string::npos) {
    const std::size_t end = line.find_first_of(" \t", at);
    words.push_back(line.substr(at, end - at));
    at = end;
  }
  return words;
}

bool ParseInt(const std::string& word, int* value) {
  const char* end = word.data() + word.size();
  const auto [stop, error] = std::from_chars(word.data(), end, *value);
  return error == std::errc() && stop == end;
}

// The numbers after the keyword, exactly count of them.
bool ParseNumbers(const std::vector<std::string>& words, std::size_t count,
                  int* numbers) {
  if (words.size() < count + 1)
    return false;
  for (std::size_t i = 0; i < count; ++i) {
    if (!ParseInt(words[i + 1], &numbers[i]))
      return false;
  }
  return true;
}

struct Box {
  int width = 0;
  int height = 0;
  int x = 0;
  int y = 0;
};

bool ParseBox(const std::vector<std::string>& words, Box* box) {
  int numbers[4];
  if (!ParseNumbers(words, 4, numbers) || numbers[0] < 0 || numbers[1] < 0 ||
      numbers[0] > kLargestBox || numbers[1] > kLargestBox)
    return false;
  *box = Box{numbers[0], numbers[1], numbers[2], numbers[3]};
  return true;
}

// Whether the pixel of a bitmap row, written in hex, is ink; false for a
// row that is not hex.
bool RowPixel(const std::string& row, int column, bool* ink) {
  const std::size_t digit = static_cast<std::size_t>(column / 4);
  if (digit >= row.size() || HexDigitValue(row[digit]) < 0)
    return false;
  *ink = (HexDigitValue(row[digit]) >> (3 - column % 4) & 1) != 0;
  return true;
}

struct Glyph {
  int code = -1;
  Box box;
  std::vector<std::string> rows;
  std::size_t end_line = 0;
};

// Puts the glyph's ink into its cell; an empty string, or what is wrong.
std::string PlaceGlyph(const Glyph& glyph, const Box& font_box,
                       FontImage* font) {
  if (glyph.code < 0 || glyph.code >= static_cast<int>(kGlyphCount))
    return std::string();  // not one of the 256 codes
  if (glyph.rows.size() < static_cast<std::size_t>(glyph.box.height))
    return MalformedLine(glyph.end_line);
  const std::size_t code = static_cast<std::size_t>(glyph.code);
  for (std::size_t r = 0; r < kGlyphSize; ++r)
    (*font)[code * kGlyphSize + r] = 0;
  for (int row = 0; row < glyph.box.height; ++row) {
    // Counted from the cell's top row down.
    const int cell_row = font_box.y + static_cast<int>(kGlyphSize) -
                         (glyph.box.y + glyph.box.height) + row;
    for (int column = 0; column < glyph.box.width; ++column) {
      bool ink = false;
      if (!RowPixel(glyph.rows[static_cast<std::size_t>(row)], column, &ink))
        return MalformedLine(glyph.end_line - glyph.rows.size() +
                             static_cast<std::size_t>(row));
      const int cell_column = glyph.box.x - font_box.x + column;
      if (!ink)
        continue;
      if (cell_row < 0 || cell_row >= static_cast<int>(kGlyphSize) ||
          cell_column < 0 || cell_column >= static_cast<int>(kGlyphSize))
        return OutsideCell(glyph.code);
      SetInk(font, code, static_cast<std::size_t>(cell_row),
             static_cast<std::size_t>(cell_column));
    }
  }
  return std::string();
}

}  // namespace

bool LooksLikeBdf(std::span<const std::uint8_t> bytes) {
  const std::vector<std::string> first = Words(
      TextLines(bytes.subspan(0, std::min<std::size_t>(bytes.size(), 64)))[0]);
  return !first.empty() && first[0] == "STARTFONT";
}

std::string ReadBdf(std::span<const std::uint8_t> bytes, FontImage* font) {
  const std::vector<std::string> lines = TextLines(bytes);
  font->fill(0);
  Box font_box;
  bool have_font_box = false;
  bool in_properties = false;
  bool in_glyph = false;
  bool in_bitmap = false;
  Glyph glyph;
  for (std::size_t at = 0; at < lines.size(); ++at) {
    const std::size_t line = at + 1;
    if (in_bitmap && lines[at] != "ENDCHAR") {
      glyph.rows.push_back(lines[at]);
      continue;
    }
    const std::vector<std::string> words = Words(lines[at]);
    if (words.empty())
      continue;
    const std::string& keyword = words[0];
    if (in_properties) {
      in_properties = keyword != "ENDPROPERTIES";
    } else if (keyword == "STARTPROPERTIES") {
      in_properties = true;
    } else if (keyword == "FONTBOUNDINGBOX") {
      if (!ParseBox(words, &font_box))
        return MalformedLine(line);
      have_font_box = true;
    } else if (keyword == "STARTCHAR") {
      if (!have_font_box || in_glyph)
        return MalformedLine(line);
      in_glyph = true;
      glyph = Glyph{};
      glyph.box = font_box;
    } else if (keyword == "ENCODING") {
      if (!in_glyph || !ParseNumbers(words, 1, &glyph.code))
        return MalformedLine(line);
    } else if (keyword == "BBX") {
      if (!in_glyph || !ParseBox(words, &glyph.box))
        return MalformedLine(line);
    } else if (keyword == "BITMAP") {
      if (!in_glyph)
        return MalformedLine(line);
      in_bitmap = true;
    } else if (keyword == "ENDCHAR") {
      if (!in_bitmap)
        return MalformedLine(line);
      glyph.end_line = line;
      std::string problem = PlaceGlyph(glyph, font_box, font);
      if (!problem.empty())
        return problem;
      in_glyph = in_bitmap = false;
    } else if (keyword == "ENDFONT") {
      return in_glyph ? MalformedLine(line) : std::string();
    }
  }
  return std::string(kEndsEarly);
}

Bytes WriteBdf(const FontImage& font) {
  std::string text(kHeader);
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    text += std::string("STARTCHAR C") + HexByte(code) + "\n";
    text += std::string("ENCODING ") + std::to_string(code) + "\n";
    text += kGlyphHeader;
    for (std::size_t row = 0; row < kGlyphSize; ++row)
      text += HexByte(font[code * kGlyphSize + row]) + "\n";
    text += "ENDCHAR\n";
  }
  text += "ENDFONT\n";
  return Bytes(text.begin(), text.end());
}

}  // namespace mdlReplace
