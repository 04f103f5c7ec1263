// TrueType fonts drawn on a pixel grid (.ttf, and .otf with TrueType
// outlines). Such a font's outlines lie on a grid of font units: the
// largest unit that divides every coordinate of the glyphs taken is one
// pixel. At that size, an 8x8 font's cell runs from its ascender down to
// its descender, and a pixel is ink where the outline covers more than
// half of it. The glyphs are keyed by Unicode, and placed by a code page.
//
// stb_truetype draws the glyphs. It trusts the font it reads, so each
// table, each cmap lookup it will make and each glyph it will walk is
// checked first (truetype_tables.cpp), and a font that fails is refused.
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numeric>

#include "fonts/code_pages.h"
#include "fonts/codecs.h"
#include "fonts/placement.h"
#include "fonts/sfnt.h"
#include "fonts/stb_truetype.h"
#include "fonts/truetype_tables.h"

namespace mdlReplace {

namespace {

constexpr std::array<std::uint8_t, 4> kTrueTypeVersion = {0, 1, 0, 0};
constexpr std::array<std::uint8_t, 4> kAppleVersion = {'t', 'r', 'u', 'e'};
constexpr std::array<std::uint8_t, 4> kPostScriptVersion = {'O', 'T', 'T', 'O'};
constexpr int kCellPixels = static_cast<int>(kGlyphSize);
constexpr std::uint32_t kMostPixelsToEm = 256;
// The low byte of the encoding of Microsoft's subtables for Unicode.
constexpr std::uint8_t kUnicodeEncoding = 1;
constexpr std::string_view kDamaged =
    "is a TrueType font whose data is damaged.";
constexpr std::string_view kPostScript =
    "is an OpenType font of PostScript outlines; only TrueType outlines are "
    "read.";

std::string CodePageNumber(const CodePage& code_page) {
  return std::to_string(code_page.number);
}

std::string NoGlyphs(const CodePage& code_page) {
  return "is a TrueType font with no glyph for code page " +
         CodePageNumber(code_page) + ".";
}

// A grid of more pixels than a pixel font is ever drawn with is a smooth
// font's own units, or a few of them (Webdings' coordinates are all even).
std::string WrongGrid(std::uint32_t units_per_em, std::uint32_t grid) {
  if (units_per_em / grid > kMostPixelsToEm)
    return "is a TrueType font drawn on a grid of " +
           std::to_string(units_per_em) + " units to the em, not 8 pixels.";
  std::string pixels = std::to_string(units_per_em / grid);
  if (units_per_em % grid != 0) {
    const std::uint32_t tenths = units_per_em % grid * 10 / grid;
    // A tenth would hide it (2049 units of 256 are 8.0): the units say it.
    if (tenths == 0)
      return "is a TrueType font of " + std::to_string(units_per_em) +
             " units to the em, not 8 pixels of " + std::to_string(grid) +
             " units.";
    pixels += "." + std::to_string(tenths);
  }
  return "is a TrueType font drawn on a grid of " + pixels +
         " pixels to the em, not 8.";
}

std::string WrongHeight(int height) {
  return "is a TrueType font of 8 pixels to the em, but " +
         std::to_string(height) + " from its ascender to its descender, not 8.";
}

std::string OutsideCell(char32_t character) {
  return "is a TrueType font whose glyph for " + UnicodeName(character) +
         " does not fit an 8x8 cell.";
}

std::string PlacedByPoints(char32_t character) {
  return "is a TrueType font whose glyph for " + UnicodeName(character) +
         " places its parts by matching points, which this program does not "
         "draw.";
}

// Every coordinate of the glyph's outline, control points too, as x and y.
std::vector<std::array<int, 2>> Coordinates(const TrueTypeFont* font,
                                            int glyph) {
  std::vector<std::array<int, 2>> coordinates;
  TrueTypeCoordinates(
      font, glyph,
      [](void* context, int x, int y) {
        static_cast<std::vector<std::array<int, 2>>*>(context)->push_back(
            {x, y});
      },
      &coordinates);
  return coordinates;
}

struct TakenGlyph {
  std::size_t code;
  char32_t character;
  int index;
  GlyphCheck check;
};

std::uint32_t GridOf(const TrueTypeFont* font,
                     const std::vector<TakenGlyph>& taken) {
  std::uint32_t grid = 0;
  for (const TakenGlyph& glyph : taken) {
    if (glyph.check != GlyphCheck::Drawable)
      continue;
    for (const std::array<int, 2>& point : Coordinates(font, glyph.index)) {
      for (int coordinate : point)
        grid = std::gcd(grid, static_cast<std::uint32_t>(std::abs(coordinate)));
    }
  }
  return grid;
}

// The glyph of the code: that of its character in the code page, or else
// that of the character that stands for the code itself, U+F000 + code,
// where a symbol font has its glyphs. False when there is neither.
bool FindGlyph(const TrueTypeFont* font, const CodePage& code_page,
               TakenGlyph* glyph) {
  const std::array<char32_t, 2> characters = {
      code_page.characters[glyph->code],
      static_cast<char32_t>(kDirectCharacters + glyph->code)};
  for (const char32_t character : characters) {
    glyph->character = character;
    glyph->index = character == 0
                       ? 0
                       : TrueTypeGlyphIndex(font, static_cast<int>(character));
    if (glyph->index != 0)
      return true;
  }
  return false;
}

// Draws the glyph with its origin at the cell's left, on the baseline
// that lies descent pixels above the cell's bottom; false when its outline
// leaves the cell.
bool DrawGlyph(const TrueTypeFont* font, int index, std::uint32_t grid,
               int ascent, Glyph* glyph) {
  const std::int64_t descent = ascent - kCellPixels;
  for (const std::array<int, 2>& point : Coordinates(font, index)) {
    // On the grid: whole pixels.
    const std::int64_t x = point[0] / static_cast<std::int64_t>(grid);
    const std::int64_t y = point[1] / static_cast<std::int64_t>(grid);
    if (x < 0 || x > kCellPixels || y < descent || y > ascent)
      return false;
  }
  std::array<unsigned char, kGlyphSize * kGlyphSize> coverage{};
  TrueTypeDraw(font, index, 1.0f / static_cast<float>(grid), ascent,
               coverage.data(), kCellPixels, kCellPixels);
  for (std::size_t row = 0; row < kGlyphSize; ++row) {
    for (std::size_t column = 0; column < kGlyphSize; ++column) {
      if (coverage[row * kGlyphSize + column] > 127)
        (*glyph)[row] |= static_cast<std::uint8_t>(0x80 >> column);
    }
  }
  return true;
}

}  // namespace

bool LooksLikeTrueType(std::span<const std::uint8_t> bytes) {
  return (BeginsWith(bytes, kTrueTypeVersion) ||
          BeginsWith(bytes, kAppleVersion) ||
          BeginsWith(bytes, kPostScriptVersion)) &&
         bytes.size() >= 12 && (bytes[4] != 0 || bytes[5] != 0);
}

std::string ReadTrueType(std::span<const std::uint8_t> bytes, CodePageUse* use,
                         FontImage* font) {
  // An embedded 8x8 strike is the font as its maker drew it at that size;
  // a font of strikes alone has no outline to fall back on.
  std::string strike_problem;
  if (ReadBitmapStrike(bytes, use, font, &strike_problem) == StrikeRead::Read)
    return strike_problem;
  if (!strike_problem.empty() && !ListsOutlines(bytes))
    return strike_problem;
  if (BeginsWith(bytes, kPostScriptVersion))
    return std::string(kPostScript);
  FontTables tables(bytes);
  if (bytes.size() > INT32_MAX || !tables.Check())
    return std::string(kDamaged);
  // stb maps characters through Unicode's subtables alone: a symbol
  // font's, laid out as theirs are, is handed over, in a copy, as one.
  Bytes symbol_font;
  const std::uint8_t* data = bytes.data();
  if (tables.symbol_record() != 0) {
    symbol_font.assign(bytes.begin(), bytes.end());
    symbol_font[tables.symbol_record() + 3] = kUnicodeEncoding;
    data = symbol_font.data();
  }
  const std::unique_ptr<TrueTypeFont, void (*)(TrueTypeFont*)> opened(
      TrueTypeOpen(data), TrueTypeClose);
  const TrueTypeFont* font_file = opened.get();
  if (font_file == nullptr)
    return std::string(kDamaged);
  GlyphPlacer placer(use, font);
  std::vector<TakenGlyph> taken;
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    TakenGlyph glyph{code, 0, 0, GlyphCheck::Drawable};
    if (!FindGlyph(font_file, placer.code_page(), &glyph))
      continue;
    std::size_t points = 0;
    glyph.check = tables.CheckGlyph(font_file, glyph.index, 0, &points);
    if (glyph.check == GlyphCheck::Damaged)
      return std::string(kDamaged);
    taken.push_back(glyph);
  }
  const std::uint32_t grid = GridOf(font_file, taken);
  if (grid != 0 && tables.units_per_em() != grid * kGlyphSize)
    return WrongGrid(tables.units_per_em(), grid);
  for (const TakenGlyph& glyph : taken) {
    if (glyph.check == GlyphCheck::MatchedPoints)
      return PlacedByPoints(glyph.character);
    if (glyph.check == GlyphCheck::BeyondRange)
      return OutsideCell(glyph.character);  // by thousands of pixels
  }
  // A font of empty outlines, as Wine's of strikes are, is its strikes.
  if (grid == 0)
    return strike_problem.empty() ? NoGlyphs(placer.code_page())
                                  : strike_problem;
  // As FreeType reports them: the ascender rounded up, the descender down.
  const int ascent = static_cast<int>(
      std::ceil(static_cast<double>(tables.ascender()) / grid));
  const int descent = static_cast<int>(
      std::floor(static_cast<double>(tables.descender()) / grid));
  if (ascent - descent != kCellPixels)
    return WrongHeight(ascent - descent);
  for (const TakenGlyph& glyph : taken) {
    Glyph drawn{};
    if (!DrawGlyph(font_file, glyph.index, grid, ascent, &drawn))
      return OutsideCell(glyph.character);
    placer.PlaceAtCode(glyph.code, drawn);
  }
  return std::string();
}

}  // namespace mdlReplace
