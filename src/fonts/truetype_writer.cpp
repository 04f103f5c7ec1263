// The font as an sfnt file: an outline TrueType font (.ttf) whose glyphs
// trace its pixels, or an OpenType bitmap font (.otb) of its 8-pixel
// strike, by the file name's extension. Either is monospaced, one cell
// wide, and its lines 8 pixels apart at 8 pixels to the em: the ascender
// at the cell's top, the descender at its bottom, no gap.
#include <algorithm>

#include "base/names.h"
#include "fonts/codecs.h"
#include "fonts/sfnt_writing.h"
#include "fonts/truetype_writing.h"

namespace mdlReplace {

namespace {

constexpr std::uint32_t kTrueTypeVersion = 0x00010000;
constexpr std::uint32_t kTableVersion = 0x00010000;
constexpr std::uint32_t kFontRevision = 0x00010000;  // 1.0
constexpr std::uint32_t kHeadMagic = 0x5F0F3CF5;
// The baseline at y 0, each glyph's left bearing its leftmost ink, and
// sizes in whole pixels.
constexpr std::uint16_t kHeadFlags = 0x000B;
constexpr std::int16_t kLeftToRight = 2;
// When the font was made and changed, in seconds from 1904 (2026-01-01):
// not the clock's time, so that the same font gives the same file, in the
// program and on the page.
constexpr std::uint32_t kFontDate = 3850070400;
constexpr std::uint32_t kMaxpOfOutlines = 0x00010000;
constexpr std::uint32_t kMaxpOfBitmaps = 0x00005000;
constexpr std::uint16_t kOs2Version = 4;
constexpr std::uint16_t kNormalWeight = 400;
constexpr std::uint16_t kNormalWidth = 5;
// Regular, and its lines spaced by its typographic ascender and descender.
constexpr std::uint16_t kRegularTypoMetrics = 0x00C0;
// Latin text, every glyph of one width.
constexpr std::array<std::uint8_t, 10> kPanose = {2, 0, 0, 9, 0, 0, 0, 0, 0, 0};
constexpr std::uint32_t kPostWithoutNames = 0x00030000;
constexpr std::string_view kBitmapExtension = ".otb";
// Superscripts and the strikeout stand 3 pixels above the baseline.
constexpr int kStrikeoutUnits = 3 * kUnitsPerPixel;
// The control value program: no dropout control, as no stroke is thinner
// than a pixel. FreeType hands a TrueType font with no program at all to
// its auto-hinter, which moves edges that already lie on pixels' edges.
constexpr std::uint8_t kPushByte = 0xB0;
constexpr std::uint8_t kScanControl = 0x85;
constexpr std::array<std::uint8_t, 3> kControlProgram = {kPushByte, 0,
                                                         kScanControl};

// The bits of OS/2's code page ranges: the code page's own, and the
// Windows code page of its script, so that Windows and its word
// processors take the font for text of that script (a letter it lacks
// then shows as .notdef, as the game lacks it too).
struct CodePageBits {
  int number;
  int bit;
  int windows_bit;
};
constexpr int kLatin1Bit = 0;
constexpr int kLatin2Bit = 1;
constexpr int kCyrillicBit = 2;
constexpr int kGreekBit = 3;
constexpr int kTurkishBit = 4;
constexpr int kHebrewBit = 5;
constexpr int kArabicBit = 6;
constexpr int kBalticBit = 7;
constexpr int kVietnameseBit = 8;
constexpr CodePageBits kCodePageBits[] = {
    {1252, kLatin1Bit, kLatin1Bit},
    {1250, kLatin2Bit, kLatin2Bit},
    {1251, kCyrillicBit, kCyrillicBit},
    {1253, kGreekBit, kGreekBit},
    {1254, kTurkishBit, kTurkishBit},
    {1255, kHebrewBit, kHebrewBit},
    {1256, kArabicBit, kArabicBit},
    {1257, kBalticBit, kBalticBit},
    {1258, kVietnameseBit, kVietnameseBit},
    {869, 48, kGreekBit},
    {866, 49, kCyrillicBit},
    {865, 50, kLatin1Bit},
    {864, 51, kArabicBit},
    {863, 52, kLatin1Bit},
    {862, 53, kHebrewBit},
    {861, 54, kLatin1Bit},
    {860, 55, kLatin1Bit},
    {857, 56, kTurkishBit},
    {855, 57, kCyrillicBit},
    {852, 58, kLatin2Bit},
    {775, 59, kBalticBit},
    {737, 60, kGreekBit},
    {850, 62, kLatin1Bit},
    {437, 63, kLatin1Bit}};

std::uint64_t CodePageRange(const CodePage& code_page) {
  constexpr std::uint64_t kOne = 1;
  for (const CodePageBits& entry : kCodePageBits) {
    if (entry.number == code_page.number)
      return (kOne << entry.bit) | (kOne << entry.windows_bit);
  }
  return 0;
}

// What head, hhea and OS/2 say of all the glyphs together.
struct FontBox {
  InkBox box;
  int least_right_bearing = kUnitsPerEm;
};

FontBox BoxOfGlyphs(const WrittenGlyphs& glyphs) {
  FontBox font;
  font.box = InkBox{false, kUnitsPerEm, kUnitsPerEm, 0, 0};
  for (const Glyph& glyph : glyphs) {
    const InkBox box = InkBoxOf(glyph);
    if (box.empty)
      continue;
    font.box.x_min = std::min(font.box.x_min, box.x_min);
    font.box.y_min = std::min(font.box.y_min, box.y_min);
    font.box.x_max = std::max(font.box.x_max, box.x_max);
    font.box.y_max = std::max(font.box.y_max, box.y_max);
    font.least_right_bearing =
        std::min(font.least_right_bearing, kUnitsPerEm - box.x_max);
  }
  return font;
}

Bytes HeadTable(const FontBox& font) {
  Bytes table;
  PutU32(&table, kTableVersion);
  PutU32(&table, kFontRevision);
  PutU32(&table, 0);  // checkSumAdjustment, set when the file is whole
  PutU32(&table, kHeadMagic);
  PutU16(&table, kHeadFlags);
  PutU16(&table, kUnitsPerEm);
  for (int i = 0; i < 2; ++i) {
    PutU32(&table, 0);
    PutU32(&table, kFontDate);
  }
  for (int bound :
       {font.box.x_min, font.box.y_min, font.box.x_max, font.box.y_max})
    PutU16(&table, bound);
  PutU16(&table, 0);            // regular
  PutU16(&table, kCellPixels);  // the smallest size it reads at
  PutU16(&table, kLeftToRight);
  PutU16(&table, 0);  // loca's offsets halved in 16 bits
  PutU16(&table, 0);
  return table;
}

Bytes HheaTable(const FontBox& font) {
  Bytes table;
  PutU32(&table, kTableVersion);
  PutU16(&table, kAscentUnits);
  PutU16(&table, -kDescentUnits);
  PutU16(&table, 0);            // no line gap
  PutU16(&table, kUnitsPerEm);  // the one advance
  PutU16(&table, font.box.x_min);
  PutU16(&table, font.least_right_bearing);
  PutU16(&table, font.box.x_max);
  PutU16(&table, 1);  // the caret upright
  for (int i = 0; i < 7; ++i)
    PutU16(&table, 0);
  PutU16(&table, 1);  // one advance, the rest only bearings
  return table;
}

// One advance for every glyph, then each glyph's left bearing.
Bytes HmtxTable(const WrittenGlyphs& glyphs) {
  Bytes table;
  PutU16(&table, kUnitsPerEm);
  for (const Glyph& glyph : glyphs)
    PutU16(&table, InkBoxOf(glyph).x_min);
  return table;
}

Bytes MaxpTable(const OutlineTables* outlines) {
  Bytes table;
  PutU32(&table, outlines != nullptr ? kMaxpOfOutlines : kMaxpOfBitmaps);
  PutU16(&table, kWrittenGlyphs);
  if (outlines == nullptr)
    return table;
  PutU16(&table, static_cast<int>(outlines->most_points));
  PutU16(&table, static_cast<int>(outlines->most_contours));
  PutU16(&table, 0);  // no composites
  PutU16(&table, 0);
  PutU16(&table, 2);  // zones: the twilight one too, as ever
  for (int i = 0; i < 4; ++i)
    PutU16(&table, 0);  // no twilight points, storage or functions
  PutU16(&table, 1);    // the control value program's one push
  for (int i = 0; i < 3; ++i)
    PutU16(&table, 0);  // no glyph's instructions, no composites
  return table;
}

Bytes Os2Table(const CodePage& code_page, const FontBox& font) {
  constexpr int kHalf = kUnitsPerEm / 2;
  Bytes table;
  PutU16(&table, kOs2Version);
  PutU16(&table, kUnitsPerEm);  // the average width, every glyph's
  PutU16(&table, kNormalWeight);
  PutU16(&table, kNormalWidth);
  PutU16(&table, 0);  // installable
  // Sub- and superscripts at half size, below and above.
  for (int metric :
       {kHalf, kHalf, 0, kUnitsPerPixel, kHalf, kHalf, 0, kStrikeoutUnits})
    PutU16(&table, metric);
  PutU16(&table, kUnitsPerPixel);  // the strikeout, a pixel high
  PutU16(&table, kStrikeoutUnits);
  PutU16(&table, 0);  // no family class
  for (std::uint8_t digit : kPanose)
    PutU8(&table, digit);
  for (int i = 0; i < 4; ++i)
    PutU32(&table, 0);  // no Unicode ranges claimed
  for (char letter : std::string_view("ZYR2"))
    PutU8(&table, static_cast<std::uint8_t>(letter));
  PutU16(&table, kRegularTypoMetrics);
  PutU16(&table, static_cast<int>(FirstCharacter(code_page)));
  PutU16(&table, static_cast<int>(LastCharacter(code_page)));
  PutU16(&table, kAscentUnits);
  PutU16(&table, -kDescentUnits);
  PutU16(&table, 0);  // no line gap
  PutU16(&table, std::max(font.box.y_max, kAscentUnits));
  PutU16(&table, std::max(-font.box.y_min, kDescentUnits));
  const std::uint64_t range = CodePageRange(code_page);
  PutU32(&table, static_cast<std::uint32_t>(range & 0xFFFFFFFF));
  PutU32(&table, static_cast<std::uint32_t>(range >> 32));
  PutU16(&table, 0);  // no x-height or capital height measured
  PutU16(&table, 0);
  PutU16(&table, 0);    // the default character: .notdef
  PutU16(&table, ' ');  // the break character
  PutU16(&table, 1);    // no context
  return table;
}

Bytes PostTable() {
  Bytes table;
  PutU32(&table, kPostWithoutNames);
  PutU32(&table, 0);                // upright
  PutU16(&table, -kUnitsPerPixel);  // the underline, a pixel below the line
  PutU16(&table, kUnitsPerPixel);
  PutU32(&table, 1);  // fixed pitch
  for (int i = 0; i < 4; ++i)
    PutU32(&table, 0);
  return table;
}

bool NamesBitmapFont(std::string_view file_name) {
  return file_name.size() >= kBitmapExtension.size() &&
         EqualIgnoringAsciiCase(
             file_name.substr(file_name.size() - kBitmapExtension.size()),
             kBitmapExtension);
}

}  // namespace

Bytes WriteTrueType(const FontImage& font, const CodePage& code_page,
                    std::string_view file_name) {
  const WrittenGlyphs glyphs = GlyphsToWrite(font);
  const FontBox box = BoxOfGlyphs(glyphs);
  SfntFile file;
  file.Add("head", HeadTable(box));
  file.Add("hhea", HheaTable(box));
  file.Add("hmtx", HmtxTable(glyphs));
  file.Add("OS/2", Os2Table(code_page, box));
  file.Add("cmap", CmapTable(code_page));
  file.Add("name", NameTable(file_name, code_page));
  file.Add("post", PostTable());
  if (NamesBitmapFont(file_name)) {
    file.Add("maxp", MaxpTable(nullptr));
    file.Add("EBLC", StrikeLocations());
    file.Add("EBDT", StrikeImages(glyphs));
  } else {
    OutlineTables outlines = TraceOutlines(glyphs);
    file.Add("maxp", MaxpTable(&outlines));
    file.Add("glyf", std::move(outlines.glyf));
    file.Add("loca", std::move(outlines.loca));
    file.Add("prep", Bytes(kControlProgram.begin(), kControlProgram.end()));
  }
  return file.Assemble(kTrueTypeVersion);
}

}  // namespace mdlReplace
