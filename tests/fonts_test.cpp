#include <gtest/gtest.h>
#include <zlib.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/byte_reader.h"
#include "fake_platform.h"
#include "fonts/code_pages.h"
#include "fonts/drawing.h"
#include "fonts/formats.h"
#include "fonts/glyph_block.h"
#include "fonts/glyph_edits.h"
#include "fonts/image_picture.h"
#include "fonts/outline_tracing.h"
#include "fonts/registry.h"
#include "fonts/sfnt.h"
#include "fonts/sfnt_writing.h"
#include "fonts/stb_image.h"

namespace mdlReplace {
namespace {

FontImage AllCodesFont() {
  const std::vector<std::uint8_t> bytes = FontPattern(7);
  FontImage font{};
  std::copy(bytes.begin(), bytes.end(), font.begin());
  return font;
}

Bytes Text(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

Bytes Joined(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A PNG of any size and colours, written by the same library the program
// reads with.
Bytes Png(int width, int height, const std::vector<std::uint8_t>& rgb) {
  Bytes bytes;
  PngWrite(
      [](void* context, void* data, int size) {
        auto* out = static_cast<Bytes*>(context);
        auto* start = static_cast<std::uint8_t*>(data);
        out->insert(out->end(), start, start + size);
      },
      &bytes, width, height, 3, rgb.data());
  return bytes;
}

// The font drawn as a sheet, light ink on a dark background.
Bytes InvertedColourSheet(const FontImage& font) {
  std::vector<std::uint8_t> rgb(std::size_t{128} * 128 * 3);
  for (std::size_t y = 0; y < 128; ++y) {
    for (std::size_t x = 0; x < 128; ++x) {
      const std::size_t code = (y / 8) * 16 + x / 8;
      const bool ink = IsInk(font, code, y % 8, x % 8);
      const std::uint8_t colour[3] = {static_cast<std::uint8_t>(ink ? 250 : 10),
                                      static_cast<std::uint8_t>(ink ? 240 : 20),
                                      static_cast<std::uint8_t>(ink ? 60 : 90)};
      std::copy(colour, colour + 3,
                rgb.begin() + static_cast<std::ptrdiff_t>((y * 128 + x) * 3));
    }
  }
  return Png(128, 128, rgb);
}

// One gzip member of the bytes.
Bytes Gzip(const Bytes& bytes) {
  z_stream stream{};
  deflateInit2(&stream, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  Bytes out(deflateBound(&stream, static_cast<uLong>(bytes.size())) + 32);
  stream.next_in = const_cast<Bytef*>(bytes.data());
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

void AppendBig32(Bytes* bytes, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    bytes->push_back(static_cast<std::uint8_t>(value >> shift));
}

// A PNG chunk with its length and CRC.
Bytes Chunk(std::string_view type, const Bytes& data) {
  Bytes chunk;
  AppendBig32(&chunk, static_cast<std::uint32_t>(data.size()));
  const Bytes typed = Joined(Text(type), data);
  chunk.insert(chunk.end(), typed.begin(), typed.end());
  AppendBig32(&chunk, static_cast<std::uint32_t>(crc32(
                          0, typed.data(), static_cast<uInt>(typed.size()))));
  return chunk;
}

// A 16-bit grey PNG of the font, as Pillow writes one: ink and background
// differ only in their low bytes.
Bytes Png16Sheet(const FontImage& font, std::uint32_t side) {
  Bytes header;
  AppendBig32(&header, side);
  AppendBig32(&header, side == 128 ? 128 : 1);
  header.insert(header.end(), {16, 0, 0, 0, 0});
  Bytes rows;
  for (std::size_t y = 0; y < (side == 128 ? 128 : 1); ++y) {
    rows.push_back(0);  // no filter
    for (std::size_t x = 0; x < side; ++x) {
      const bool ink =
          side == 128 && IsInk(font, (y / 8) * 16 + x / 8, y % 8, x % 8);
      rows.insert(rows.end(),
                  {0x03, static_cast<std::uint8_t>(ink ? 0xE9 : 0xE8)});
    }
  }
  Bytes packed(compressBound(static_cast<uLong>(rows.size())));
  uLongf packed_size = static_cast<uLongf>(packed.size());
  compress(packed.data(), &packed_size, rows.data(),
           static_cast<uLong>(rows.size()));
  packed.resize(packed_size);
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  for (const Bytes& chunk :
       {Chunk("IHDR", header), Chunk("IDAT", packed), Chunk("IEND", {})})
    png.insert(png.end(), chunk.begin(), chunk.end());
  return png;
}

Bytes Psf2(std::uint32_t count, std::uint32_t height, std::uint32_t width,
           std::size_t glyph_bytes) {
  Bytes bytes = {0x72, 0xb5, 0x4a, 0x86};
  const std::uint32_t bytes_per_glyph = height * ((width + 7) / 8);
  for (std::uint32_t field :
       {0u, 32u, 0u, count, bytes_per_glyph, height, width}) {
    for (int shift = 0; shift < 32; shift += 8)
      bytes.push_back(static_cast<std::uint8_t>(field >> shift));
  }
  bytes.resize(bytes.size() + glyph_bytes, 0x5A);
  return bytes;
}

// A Windows FNT (version 2) of 8-pixel-wide glyphs from first to last,
// each of its rows 0x18, one row of them below the baseline.
Bytes Fnt(std::uint8_t character_set, std::uint8_t first, std::uint8_t last,
          std::uint16_t height) {
  Bytes bytes(118);
  const std::size_t glyphs = last - first + 1u;
  const std::size_t bits_at = 118 + (glyphs + 1) * 4;
  const auto put16 = [&](std::size_t at, std::size_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
  };
  put16(0, 0x0200);
  put16(2, bits_at + glyphs * height);
  put16(74, height - 1u);  // the ascent
  bytes[85] = character_set;
  put16(86, 8);
  put16(88, height);
  put16(93, 8);
  bytes[95] = first;
  bytes[96] = last;
  for (std::size_t i = 0; i <= glyphs; ++i) {
    bytes.insert(bytes.end(), {8, 0});
    bytes.insert(bytes.end(), {0, 0});
    put16(bytes.size() - 2, bits_at + i * height);
  }
  bytes.resize(bits_at + glyphs * height, 0x18);
  return bytes;
}

void AppendBig16(Bytes* bytes, std::uint32_t value) {
  bytes->insert(bytes->end(), {static_cast<std::uint8_t>(value >> 8),
                               static_cast<std::uint8_t>(value)});
}

// One code page's entry alone, as kbd's .cp files are: a screen's entry
// for code page 737, then its fonts of 8-pixel rows, of the heights and
// counts given, each glyph's rows 0x5A.
Bytes CodePageEntry(
    std::initializer_list<std::pair<std::uint8_t, std::uint16_t>> fonts) {
  Bytes bytes = {28,  0,    0, 0, 0, 0, 1, 0, 'E', 'G', 'A', ' ', ' ', ' ', ' ',
                 ' ', 0xE1, 2, 0, 0, 0, 0, 0, 0,   0,   0,   0,   0,   1,   0};
  std::size_t size = 0;
  for (const auto& [height, count] : fonts)
    size += 6 + std::size_t{height} * count;
  bytes.insert(bytes.end(), {static_cast<std::uint8_t>(fonts.size()), 0,
                             static_cast<std::uint8_t>(size),
                             static_cast<std::uint8_t>(size >> 8)});
  for (const auto& [height, count] : fonts) {
    bytes.insert(bytes.end(),
                 {height, 8, 0, 0, static_cast<std::uint8_t>(count),
                  static_cast<std::uint8_t>(count >> 8)});
    bytes.resize(bytes.size() + std::size_t{height} * count, 0x5A);
  }
  return bytes;
}

// How the test's TrueType font is made. Glyph 1 is one contour: one point
// at (point, point), on the curve or off it, or, in a font of 8 units to
// the em, a square over the whole cell. Glyph 2, when asked for, is a composite
// of glyph 1 alone with the flags given, its arguments words of the offset
// given (0x7FFF) and its scale, if any, 0x7FFF (nearly 2). "A" maps to the last
// glyph, as U+0041 or, in a Microsoft symbol subtable, U+F041.
struct TrueTypeShape {
  bool on_curve = true;
  bool square = false;
  std::uint8_t point = 2;
  std::uint16_t units_per_em = 8;
  std::uint16_t cmap_format = 4;  // or 12
  bool symbol = false;
  bool composite = false;
  std::uint16_t part_flags = 0;
  std::uint16_t part_offset = 0x7FFF;
  std::uint32_t kern_offset = 12;  // wherever that lies
};

Bytes TrueType(const TrueTypeShape& shape) {
  Bytes head(54), hhea(36), maxp(6), cmap, loca, glyf, hmtx(12);
  head[18] = static_cast<std::uint8_t>(shape.units_per_em >> 8);
  head[19] = static_cast<std::uint8_t>(shape.units_per_em);
  const std::uint32_t pixel = shape.units_per_em / 8u;
  // The ascender, 7 pixels, and the descender, -1.
  hhea[4] = static_cast<std::uint8_t>(7 * pixel >> 8);
  hhea[5] = static_cast<std::uint8_t>(7 * pixel);
  hhea[6] = static_cast<std::uint8_t>((0x10000 - pixel) >> 8);
  hhea[7] = static_cast<std::uint8_t>(0x10000 - pixel);
  hhea[35] = 2;  // metrics
  const std::uint32_t glyph = shape.composite ? 2 : 1;
  maxp[5] = static_cast<std::uint8_t>(glyph + 1);
  const std::uint32_t character = shape.symbol ? 0xF041 : 0x41;
  const std::uint32_t encoding = shape.symbol              ? 0
                                 : shape.cmap_format == 12 ? 10
                                                           : 1;
  for (std::uint32_t field : {0u, 1u, 3u, encoding, 0u, 12u})  // one record
    AppendBig16(&cmap, field);
  if (shape.cmap_format == 12) {
    for (std::uint32_t field :
         {12u << 16, 28u, 0u, 1u, character, character, glyph})
      AppendBig32(&cmap, field);
  } else {
    for (std::uint32_t field :
         {4u, 32u, 0u, 4u, 4u, 1u, 0u, character, 0xFFFFu, 0u, character,
          0xFFFFu, (0x10000u + glyph - character) & 0xFFFF, 1u, 0u, 0u})
      AppendBig16(&cmap, field);
  }
  if (shape.square) {
    // From the descender, -1, up to the ascender, 7: the whole cell.
    glyf = {0, 1, 0, 0,    0xFF, 0xFF, 0,    8, 0, 7, 0,
            3, 0, 0, 0x15, 0x35, 0x33, 0x15, 8, 1, 8, 8};
  } else {
    glyf = {0,
            1,
            0,
            0,
            0,
            0,
            0,
            8,
            0,
            8,
            0,
            0,
            0,
            0,
            static_cast<std::uint8_t>(shape.on_curve ? 1 : 0),
            0,
            shape.point,
            0,
            shape.point};
  }
  glyf.resize((glyf.size() + 1) / 2 * 2);
  const std::uint32_t part_at = static_cast<std::uint32_t>(glyf.size());
  if (shape.composite) {
    glyf.insert(glyf.end(), {0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0});
    AppendBig16(&glyf, shape.part_flags);
    AppendBig16(&glyf, 1);
    AppendBig16(&glyf, shape.part_offset);
    if ((shape.part_flags & 0x0001) != 0)
      AppendBig16(&glyf, shape.part_offset);
    if ((shape.part_flags & 0x0008) != 0)
      AppendBig16(&glyf, 0x7FFF);
  }
  for (std::uint32_t field :
       {0u, 0u, part_at / 2, static_cast<std::uint32_t>(glyf.size() / 2)})
    AppendBig16(&loca, field);
  const std::pair<const char*, const Bytes*> tables[] = {
      {"head", &head}, {"hhea", &hhea}, {"maxp", &maxp}, {"cmap", &cmap},
      {"loca", &loca}, {"glyf", &glyf}, {"hmtx", &hmtx}};
  Bytes font = {0, 1, 0, 0, 0, 8, 0, 0x80, 0, 3, 0, 0};
  std::uint32_t at = 12 + 16 * 8;
  for (const auto& [tag, table] : tables) {
    font.insert(font.end(), tag, tag + 4);
    AppendBig32(&font, 0);
    AppendBig32(&font, at);
    AppendBig32(&font, static_cast<std::uint32_t>(table->size()));
    at += static_cast<std::uint32_t>(table->size());
  }
  font.insert(font.end(), {'k', 'e', 'r', 'n'});
  for (std::uint32_t field : {0u, shape.kern_offset, 4u})
    AppendBig32(&font, field);
  for (const auto& [tag, table] : tables)
    font.insert(font.end(), table->begin(), table->end());
  return font;
}

constexpr std::string_view kBdfHead =
    "STARTFONT 2.1\nFONTBOUNDINGBOX 8 8 0 -1\nCHARS 1\n";

// The font whose upper half is the reverse video of its lower half: as
// much ink as paper, 8192 pixels of each.
FontImage HalfReversedFont() {
  FontImage font = AllCodesFont();
  for (std::size_t at = 0; at < font.size() / 2; ++at)
    font[font.size() / 2 + at] = static_cast<std::uint8_t>(~font[at]);
  return font;
}

// The value of a BDF's DEFAULT_CHAR, and whether a glyph has it as its
// ENCODING.
bool NamesItsOwnGlyph(const Bytes& bdf) {
  const std::string text(bdf.begin(), bdf.end());
  const std::size_t at = text.find("\nDEFAULT_CHAR ");
  if (at == std::string::npos)
    return false;
  const std::size_t start = at + 14;
  const std::string number = text.substr(start, text.find('\n', start) - start);
  return text.find("\nENCODING " + number + "\n") != std::string::npos;
}

// Each format, and a BDF or TrueType font keyed by the characters of each
// code page, read back by the same code page; the BDF's default character
// is one of its glyphs; the sfnt's checksums add up.
TEST(Fonts, EveryFormatRoundTrips) {
  const std::pair<FontFormat, std::string_view> written_as[] = {
      {FontFormat::Raw, "a.fnt"},     {FontFormat::Psf, "a.psf"},
      {FontFormat::Bdf, "a.bdf"},     {FontFormat::Png, "a.png"},
      {FontFormat::Text, "a.txt"},    {FontFormat::TrueType, "a.ttf"},
      {FontFormat::TrueType, "a.OTB"}};
  for (const FontImage& font : {AllCodesFont(), HalfReversedFont()}) {
    for (const CodePage& code_page : KnownCodePages()) {
      for (const auto& [format, file_name] : written_as) {
        SCOPED_TRACE(std::to_string(code_page.number) + " " +
                     std::string(file_name));
        CodePageUse use;
        use.named = &code_page;
        const Bytes written = WriteFont(font, format, use.named, file_name);
        FontImage read{};
        EXPECT_EQ(ReadFont("font", written, &use, &read), "");
        EXPECT_EQ(read, font);
        EXPECT_TRUE(format != FontFormat::Bdf || NamesItsOwnGlyph(written));
        EXPECT_TRUE(format != FontFormat::TrueType ||
                    SfntChecksum(written) == 0xB1B0AFBA);
      }
    }
  }
}

// The family a written TrueType font's name table gives (its first name,
// the family's), as UTF-16.
std::u16string WrittenFamily(const Bytes& font) {
  SfntTable name;
  if (!FindSfntTable(font, "name", &name))
    return u"no name table";
  ByteReader reader(font, true);
  reader.Seek(name.offset + 4);
  const std::size_t strings = name.offset + reader.U16();
  reader.Skip(6 + 2);  // the platform, encoding and language; the number
  const std::uint16_t length = reader.U16();
  reader.Seek(strings + reader.U16());
  std::u16string family;
  for (std::size_t i = 0; i < length / 2u && reader.ok(); ++i)
    family += static_cast<char16_t>(reader.U16());
  return family;
}

// The family is named for the file, "8x8" and the code page, in any
// script; Windows keeps 31 letters of it.
TEST(Fonts, TrueTypeFamilyNamedForTheFile) {
  struct FamilyCase {
    const char* file_name;
    int code_page;
    std::u16string family;
  };
  const FamilyCase cases[] = {
      {"game.ttf", 437, u"game 8x8 CP437"},
      {R"(C:onts\ZYR2.font.OTB)", 866, u"ZYR2.font 8x8 CP866"},
      {"/home/me/.ttf", 437, u"zyr2font 8x8 CP437"},
      {"шрифт игры.ttf", 866, u"шрифт игры 8x8 CP866"},
      {"Очень длинное имя файла.ttf", 1251, u"Очень длинное имя фа 8x8 CP1251"},
      {"a\xFF\xC3.ttf", 437, u"a 8x8 CP437"},
      {"\xED\xA0\x80\xF0\x9F\x98\x80.ttf", 437, u"\U0001F600 8x8 CP437"},
  };
  for (const FamilyCase& row : cases) {
    SCOPED_TRACE(row.file_name);
    EXPECT_EQ(
        WrittenFamily(WriteFont(AllCodesFont(), FontFormat::TrueType,
                                FindCodePage(row.code_page), row.file_name)),
        row.family);
  }
}

// Each area of ink one contour around it, clockwise (y up), each hole one
// counter-clockwise; areas meeting at a corner stay apart, and no two
// squares of ink overlap.
TEST(Fonts, OutlinesTraceThePixelsEdges) {
  struct TraceCase {
    const char* name;
    Glyph glyph;
    std::vector<Contour> contours;
  };
  const TraceCase cases[] = {
      {"blank", {}, {}},
      {"the top left pixel", {0x80}, {{{0, 7}, {0, 8}, {1, 8}, {1, 7}}}},
      {"the whole cell",
       {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
       {{{0, 8}, {8, 8}, {8, 0}, {0, 0}}}},
      {"a bar of two rows, one contour",
       {0, 0, 0x3C, 0x3C},
       {{{2, 6}, {6, 6}, {6, 4}, {2, 4}}}},
      {"pixels meeting at a corner, two areas",
       {0x80, 0x40},
       {{{0, 7}, {0, 8}, {1, 8}, {1, 7}}, {{1, 6}, {1, 7}, {2, 7}, {2, 6}}}},
      {"a ring: the hole wound the other way",
       {0xE0, 0xA0, 0xE0},
       {{{0, 8}, {3, 8}, {3, 5}, {0, 5}}, {{2, 7}, {1, 7}, {1, 6}, {2, 6}}}},
      {"an L",
       {0x80, 0x80, 0xC0},
       {{{0, 8}, {1, 8}, {1, 6}, {2, 6}, {2, 5}, {0, 5}}}},
  };
  for (const TraceCase& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(TraceGlyph(row.glyph), row.contours);
  }
}

struct ReadCase {
  const char* name;
  Bytes bytes;
  std::string problem;  // empty: read, and the font checked below
  std::string_view file_name = "font";
};

TEST(Fonts, ReadsWhatFontMakersHaveAndRefusesTheRest) {
  const FontImage font = AllCodesFont();
  const Bytes psf1 = WriteFont(font, FontFormat::Psf);
  const Bytes psf2_header = Psf2(256, 8, 8, 0);
  const Bytes png = WriteFont(font, FontFormat::Png);
  // A glyph of 5x7 set one pixel in from the left, on the baseline: its
  // rows land in the cell's rows 1 to 7, shifted right by one.
  const Bytes raw = WriteFont(font, FontFormat::Raw);
  Bytes damaged_png = png;
  damaged_png[60] ^= 0x01;
  Bytes padded_text = Text("0x00\n.......\n");
  padded_text.resize(2048, '\n');
  std::vector<std::uint8_t> stripes(std::size_t{256} * 256 * 3);
  for (std::size_t i = 0; i < stripes.size(); ++i)
    stripes[i] = (i / 3) % 2 == 0 ? 200 : 0;
  const Bytes entry = CodePageEntry({{16, 256}, {8, 256}});
  Bytes entry_of_count = entry;
  entry_of_count[30] = 3;
  Bytes entry_of_printer = entry;
  entry_of_printer[6] = 2;
  const Bytes small_glyph = Joined(
      Text(kBdfHead), Text("STARTCHAR A\nENCODING 65\nBBX 5 7 1 -1\nBITMAP\n"
                           "20\n50\n88\nF8\n88\n88\n88\nENDCHAR\nENDFONT\n"));
  const ReadCase cases[] = {
      {"PSF 1 with 512 glyphs and a Unicode table",
       Joined(
           Joined({0x36, 0x04, 0x03, 0x08}, WriteFont(font, FontFormat::Raw)),
           Bytes(2048 + 300, 0x33)),
       ""},
      {"PSF 2 of 512 glyphs", Psf2(512, 8, 8, 4096), ""},
      {"text with CRLF, trailing blanks and a byte-order mark",
       Joined({0xEF, 0xBB, 0xBF},
              Text("0x41  \r\n..#.....\r\n.#.#....\r\n#...#...\r\n#####...\r\n"
                   "#...#...\r\n#...#...\r\n#...#...\r\n........\t\r\n")),
       ""},
      {"PSF 1 cut short", Bytes(psf1.begin(), psf1.begin() + 1000),
       "is a PSF font that ends before its last glyph."},
      {"PSF 1 of 8x16", Joined({0x36, 0x04, 0x00, 0x10}, Bytes(4096)),
       "is a PSF font of 8x16 glyphs, not 8x8."},
      {"PSF 2 of 12x24", Psf2(256, 24, 12, std::size_t{256} * 48),
       "is a PSF font of 12x24 glyphs, not 8x8."},
      {"PSF 2 of 128 glyphs", Psf2(128, 8, 8, 1024),
       "is a PSF font of only 128 glyphs, not 256."},
      {"PSF 2 cut short", Psf2(256, 8, 8, 2000),
       "is a PSF font that ends before its last glyph."},
      {"PSF 2 cut in its header",
       Bytes(psf2_header.begin(), psf2_header.begin() + 30),
       "is a PSF font that ends before its last glyph."},
      {"PNG of the wrong size",
       Png(64, 64, std::vector<std::uint8_t>(std::size_t{64} * 64 * 3)),
       "is a 64x64 image, not a 128x128 font sheet."},
      {"PNG cut short", Bytes(png.begin(), png.begin() + 200),
       "is a PNG image that could not be read."},
      {"gzip of nothing sound",
       {0x1F, 0x8B, 0x08, 0x00, 0x13, 0x37, 0x00, 0x00},
       "is compressed, but could not be decompressed."},
      {"BDF glyph outside the cell",
       Joined(Text(kBdfHead), Text("STARTCHAR A\nENCODING 65\nBBX 8 8 0 0\n"
                                   "BITMAP\n80\n00\n00\n00\n00\n00\n00\n00\n"
                                   "ENDCHAR\nENDFONT\n")),
       "is a BDF font whose glyph 0x41 does not fit an 8x8 cell."},
      {"BDF of Unicode whose é does not fit, named by its character, not "
       "by the code 0xE9 it does not go to",
       Text("STARTFONT 2.1\nFONTBOUNDINGBOX 8 8 0 -1\nSTARTPROPERTIES 1\n"
            "CHARSET_REGISTRY \"ISO10646\"\nENDPROPERTIES\nSTARTCHAR E\n"
            "ENCODING 233\nBBX 8 8 0 0\nBITMAP\n80\n00\n00\n00\n00\n00\n"
            "00\n00\nENDCHAR\nENDFONT\n"),
       "is a BDF font whose glyph for U+00E9 does not fit an 8x8 cell."},
      {"BDF of no glyph",
       Text("STARTFONT 2.1\nFONTBOUNDINGBOX 8 8 0 -1\n"
            "CHARS 0\nENDFONT\n"),
       "has no glyph at any of the 256 codes (it gives no glyph)."},
      {"BDF with CR line ends, as old Macs saved text",
       Text("STARTFONT 2.1\rFONTBOUNDINGBOX 8 8 0 -1\rCHARS 1\rSTARTCHAR A\r"
            "ENCODING 65\rBBX 8 8 0 -1\rBITMAP\r18\r24\r42\r7E\r42\r42\r"
            "42\r00\rENDCHAR\rENDFONT\r"),
       ""},
      {"BDF without its end", Joined(Text(kBdfHead), Text("STARTCHAR A\n")),
       "is a BDF font that ends before its ENDCHAR line."},
      {"BDF with a word for a number",
       Joined(Text(kBdfHead), Text("STARTCHAR A\nENCODING A\n")),
       "is a BDF font with a malformed line 5."},
      {"text with a ninth pixel", Text("0x00\n.........\n"),
       "is a text font with a malformed line 2."},
      {"text giving a glyph twice",
       Text("0x00\n........\n........\n........\n........\n........\n"
            "........\n........\n........\n\n0x00\n"),
       "is a text font that gives glyph 0x00 twice (line 11)."},
      {"2048 bytes named raw whose first glyphs begin like a PNG",
       Joined({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, Bytes(2040, 0x18)),
       "", "my.F08"},
      {"2048 bytes of a broken PNG named otherwise",
       Joined({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, Bytes(2040, 0x18)),
       "is a PNG image that could not be read.", "my.png"},
      {"BDF glyph without ENDCHAR",
       Joined(Text(kBdfHead), Text("STARTCHAR A\nENCODING 65\nBBX 8 8 0 -1\n"
                                   "BITMAP\n00\nSTARTCHAR B\nENCODING 66\n")),
       "is a BDF font that lacks an ENDCHAR line before line 9."},
      {"BDF row that is not hex",
       Joined(Text(kBdfHead),
              Text("STARTCHAR A\nENCODING 65\nBITMAP\n0G\nENDCHAR\n")),
       "is a BDF font with a malformed line 7."},
      {"BDF row more than its box",
       Joined(Text(kBdfHead), Text("STARTCHAR A\nENCODING 65\nBBX 8 1 0 -1\n"
                                   "BITMAP\n00\n00\nENDCHAR\nENDFONT\n")),
       "is a BDF font with a malformed line 9."},
      {"BDF glyph with a second ENCODING past the codes",
       Joined(Text(kBdfHead), Text("STARTCHAR A\nENCODING 65\nENCODING 61440\n"
                                   "BITMAP\nENDCHAR\nENDFONT\n")),
       "is a BDF font with a malformed line 6."},
      {"BDF glyph given twice",
       Joined(Text(kBdfHead),
              Text("STARTCHAR A\nENCODING 65\nBBX 0 0 0 0\nBITMAP\n"
                   "ENDCHAR\nSTARTCHAR B\nENCODING 65\n")),
       "is a BDF font that gives glyph 0x41 twice (line 10)."},
      {"BDF properties without their end",
       Text("STARTFONT 2.1\nSTARTPROPERTIES 1\nFOO 1\nCHARS 0\nENDFONT\n"),
       "is a BDF font that lacks an ENDPROPERTIES line before line 4."},
      {"BDF glyph placed past the end of int",
       Text("STARTFONT 2.1\nFONTBOUNDINGBOX 8 8 2147483647 2147483647\n"
            "STARTCHAR A\nENCODING 65\nBBX 1 1 -2147483648 -2147483648\n"
            "BITMAP\n80\nENDCHAR\nENDFONT\n"),
       "is a BDF font whose glyph 0x41 does not fit an 8x8 cell."},
      {"text font padded to 2048 bytes", padded_text,
       "is a text font with a malformed line 2."},
      {"text font after blank lines",
       Text("\n  \n0x41\n#.......\n........\n........\n........\n"
            "........\n........\n........\n........\n"),
       ""},
      {"gzip of two members",
       Joined(Gzip(Bytes(raw.begin(), raw.begin() + 1000)),
              Gzip(Bytes(raw.begin() + 1000, raw.end()))),
       ""},
      {"gzip with bytes after it", Joined(Gzip(raw), Text("junk")),
       "is compressed, but other bytes follow its compressed data."},
      {"gzip of too little", Gzip(Bytes(100)),
       "is compressed, and what it holds is taken for a raw font, but is 100 "
       "bytes long, not 2048."},
      {"PNG with a damaged chunk", damaged_png,
       "is a PNG image whose data is damaged."},
      {"PNG wider than stb reads", Png16Sheet(font, 20000),
       "is a 20000x1 image, not a 128x128 font sheet."},
      {"Windows 1251 font of no letter of 437", Fnt(204, 0xC6, 0xC6, 8),
       "has no glyph at any of the 256 codes (none of its characters is in "
       "code page 437)."},
      {"BDF whose glyphs all lack a code",
       Joined(Text(kBdfHead), Text("STARTCHAR A\nENCODING -1\nBBX 1 1 0 0\n"
                                   "BITMAP\n80\nENDCHAR\nSTARTCHAR B\n"
                                   "ENCODING -1\nBBX 1 1 0 0\nBITMAP\n80\n"
                                   "ENDCHAR\nENDFONT\n")),
       "has no glyph at any of the 256 codes (its 2 glyphs all have ENCODING "
       "-1)."},
      {"text font of blank glyphs",
       Text("0x41\n........\n........\n........\n........\n........\n"
            "........\n........\n........\n"),
       "has no glyph at any of the 256 codes (every glyph it gives is "
       "blank)."},
      {"anything else", Bytes(100, 0x20),
       "is taken for a raw font, but is 100 bytes long, not 2048."},
      {"hex of 8x16 glyphs", Text("0041:00000000000000000000000000000000\n"),
       "is a hex font of 8x16 glyphs (line 1), not 8x8."},
      {"hex with a short line", Text("0041:0000\n"),
       "is a hex font with a malformed line 1."},
      {"hex of 16x16 glyphs, as GNU Unifont's",
       Joined(Text("0041:0000000000000000000000000000000000000000000000000000"),
              Text("000000000000\n")),
       "is a hex font of 16x16 glyphs (line 1), not 8x8."},
      {"BDF of glyphs smaller than text a player can read",
       Text("STARTFONT 2.1\nFONTBOUNDINGBOX 4 6 0 -1\nCHARS 0\nENDFONT\n"),
       "is a BDF font of 4x6 glyphs, not 8x8."},
      {"PSF 1 of 8x6", Joined({0x36, 0x04, 0x00, 0x06}, Bytes(1536)),
       "is a PSF font of 8x6 glyphs, not 8x8."},
      {"PSF 2 of 4x8", Psf2(256, 8, 4, 2048),
       "is a PSF font of 4x8 glyphs, not 8x8."},
      {"Windows font of 8x6", Fnt(0, 32, 126, 6),
       "is a Windows font of 8x6 glyphs, not 8x8."},
      {".cp one byte short", Bytes(entry.begin(), entry.end() - 1),
       "is a code page font file whose data is damaged."},
      {".cp one byte long", Joined(entry, {0}),
       "is a code page font file whose data is damaged."},
      {".cp of another count of fonts", entry_of_count,
       "is a code page font file whose data is damaged."},
      {".cp of a printer", entry_of_printer,
       "is a code page font file whose data is damaged."},
      {".cp whose 8x8 font has 255 glyphs",
       CodePageEntry({{16, 256}, {8, 255}}),
       "is a code page font file whose 8x8 font of 737 has only 255 glyphs, "
       "not 256."},
      {"Windows font of 8x16", Fnt(0, 32, 126, 16),
       "is a Windows font of 8x16 glyphs, not 8x8."},
      {"Windows font of a character set of no code page", Fnt(128, 32, 126, 8),
       "is a Windows font of character set 128, which no code page of this "
       "program's covers."},
      {"OpenType of PostScript outlines", Joined(Text("OTTO"), Bytes(60, 1)),
       "is an OpenType font of PostScript outlines; only TrueType outlines "
       "are read."},
      {"TrueType of tables past its end",
       Joined({0, 1, 0, 0, 0, 9}, Bytes(200, 0x7F)),
       "is a TrueType font whose data is damaged."},
      {"TrueType whose last contour is one point off the curve",
       TrueType({.on_curve = false}),
       "is a TrueType font whose data is damaged."},
      {"TrueType whose kern table lies past 2^31",
       TrueType({.kern_offset = 0xFF000000}),
       "is a TrueType font whose data is damaged."},
      {"TrueType of one point on the curve", TrueType({}),
       "is a TrueType font drawn on a grid of 4 pixels to the em, not 8."},
      {"TrueType whose composite moves its part past 16 bits",
       TrueType({.composite = true, .part_flags = 0x000B}),
       "is a TrueType font whose glyph for U+0041 does not fit an 8x8 "
       "cell."},
      {"TrueType whose composite places its part by matching points",
       TrueType({.composite = true, .part_flags = 0x0001}),
       "is a TrueType font whose glyph for U+0041 places its parts by "
       "matching points, which this program does not draw."},
      {"TrueType of smooth outlines",
       TrueType({.point = 1, .units_per_em = 2048}),
       "is a TrueType font drawn on a grid of 2048 units to the em, not 8 "
       "pixels."},
      {"TrueType of symbols",
       TrueType({.point = 1, .units_per_em = 2048, .symbol = true}),
       "is a TrueType font drawn on a grid of 2048 units to the em, not 8 "
       "pixels."},
      {"TrueType of 1025 units, a grid of 128 that a tenth would hide",
       TrueType({.point = 128, .units_per_em = 1025}),
       "is a TrueType font of 1025 units to the em, not 8 pixels of 128 "
       "units."},
      {"TrueType mapped by a cmap of format 12", TrueType({.cmap_format = 12}),
       "is a TrueType font drawn on a grid of 4 pixels to the em, not 8."},
      {"PCF of tables past its end",
       Joined({1, 'f', 'c', 'p', 3, 0, 0, 0}, Bytes(100, 0xEE)),
       "is a PCF font whose data is damaged."},
      {"PNG magnified with blocks of two colours", Png(256, 256, stripes),
       "is a 256x256 image, but not a 128x128 font sheet magnified: its 2x2 "
       "blocks of pixels are not each of one colour."},
      {"BMP whose runs leave the image",
       Joined(Joined(Text("BM"), Bytes(8, 0)),
              Joined({54,  0, 0, 0, 40, 0, 0, 0, 128, 0, 0, 0,
                      128, 0, 0, 0, 1,  0, 8, 0, 1,   0, 0, 0},
                     Joined(Bytes(24, 0), {255, 1, 255, 1}))),
       "is a BMP image that could not be read."},
  };
  for (const ReadCase& row : cases) {
    SCOPED_TRACE(row.name);
    FontImage read{};
    EXPECT_EQ(ReadFont(row.file_name, row.bytes, &read), row.problem);
  }

  FontImage read{};
  ASSERT_EQ(ReadFont("a.bdf", small_glyph, &read), "");
  const std::ptrdiff_t glyph_a = std::ptrdiff_t{65} * 8;
  const std::vector<std::uint8_t> a(read.begin() + glyph_a,
                                    read.begin() + glyph_a + 8);
  EXPECT_EQ(a, (std::vector<std::uint8_t>{0x00, 0x10, 0x28, 0x44, 0x7C, 0x44,
                                          0x44, 0x44}));
  ASSERT_EQ(ReadFont("a.png", InvertedColourSheet(font), &read), "");
  EXPECT_EQ(read, font) << "light ink on a dark, coloured sheet";
  ASSERT_EQ(ReadFont("a.png", Png16Sheet(font, 128), &read), "");
  EXPECT_EQ(read, font) << "a 16-bit sheet";
}

// Fonts of cells smaller than 8x8, but no smaller than 5x7, go into 8x8
// cells at the left, on the baseline where the font tells one (one row
// above the bottom where it has no descent), else at the top; the use
// says their size.
TEST(Fonts, SmallerCellsPlacedInEightByEight) {
  const auto bdf = [](std::string_view box) {
    return Text("STARTFONT 2.1\nFONTBOUNDINGBOX " + std::string(box) +
                "\nSTARTCHAR A\nENCODING 65\nBBX " + std::string(box) +
                "\nBITMAP\n20\n50\n88\nF8\n88\n88\n88\nENDCHAR\nENDFONT\n");
  };
  const struct {
    const char* name;
    Bytes bytes;
    Glyph a;  // glyph 0x41
    GlyphSize size;
  } cases[] = {
      {"BDF of 5x7, one row below its baseline",
       bdf("5 7 0 -1"),
       {0x00, 0x20, 0x50, 0x88, 0xF8, 0x88, 0x88, 0x88},
       {5, 7}},
      {"BDF of 5x7, none below its baseline",
       bdf("5 7 0 0"),
       {0x20, 0x50, 0x88, 0xF8, 0x88, 0x88, 0x88, 0x00},
       {5, 7}},
      {"PSF 2 of 5x8, its rows' other bits cleared",
       Psf2(256, 8, 5, 2048),
       {0x58, 0x58, 0x58, 0x58, 0x58, 0x58, 0x58, 0x58},
       {5, 8}},
      {"PSF 1 of 8x7",
       Joined({0x36, 0x04, 0x00, 0x07}, Bytes(1792, 0x5A)),
       {0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x00},
       {8, 7}},
      {"Windows font of 8x7",
       Fnt(255, 0, 255, 7),
       {0x00, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18},
       {8, 7}},
      {".cp of 8x16 and 8x7",
       CodePageEntry({{16, 256}, {7, 256}}),
       {0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x00},
       {8, 7}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    CodePageUse use;
    FontImage font{};
    ASSERT_EQ(ReadFont("font", row.bytes, &use, &font), "");
    EXPECT_TRUE(std::equal(row.a.begin(), row.a.end(),
                           font.begin() + std::ptrdiff_t{0x41} * 8));
    EXPECT_EQ(use.smaller.width, row.size.width);
    EXPECT_EQ(use.smaller.height, row.size.height);
  }
}

// A CPI file of the kind ("FONT", "FONT.NT", "DRFONT") by the published
// layout: a printer's entry, then code pages 437 and another (850), each
// with an 8x16 and an 8x8 screen font, the 8x8 one of so many glyphs (its
// header says). The other's 8x8 glyphs are the font's, 437's its inverse.
// A FONT's offsets count from the file's start, a FONT.NT's from each
// entry's; a DRFONT keeps each height's glyphs once, for all code pages,
// and each code page's table of glyph numbers (the other's backwards).
Bytes Cpi(std::string_view kind, const FontImage& font, int other = 850,
          std::uint16_t eight_count = 256) {
  Bytes bytes;
  const auto put = [&bytes](std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i)
      bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  const auto put_at = [&bytes](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
      bytes[at + static_cast<std::size_t>(i)] =
          static_cast<std::uint8_t>(value >> (8 * i));
  };
  const bool nt = kind == "FONT.NT";
  const bool dr = kind == "DRFONT";
  const auto glyph = [&font, other](int code_page, std::size_t code,
                                    std::size_t row) -> std::uint8_t {
    const std::uint8_t byte = font[code * 8 + row % 8];
    return code_page == other ? byte : static_cast<std::uint8_t>(~byte);
  };
  bytes.push_back(dr ? 0x7F : 0xFF);
  const std::string id = (std::string(kind) + "       ").substr(0, 7);
  bytes.insert(bytes.end(), id.begin(), id.end());
  bytes.resize(bytes.size() + 8);
  put(1, 2);
  put(1, 1);
  const std::size_t info_pointer = bytes.size();
  put(0, 4);
  std::size_t shared_pointer = 0;
  if (dr) {
    put(2, 1);
    put(16, 1);
    put(8, 1);
    shared_pointer = bytes.size();
    put(0, 8);
  }
  put_at(info_pointer, static_cast<std::uint32_t>(bytes.size()));
  put(3, 2);
  std::size_t previous_next = 0;
  std::size_t previous_entry = 0;
  for (const int code_page : {0, 437, other}) {  // 0: the printer's
    const std::size_t entry = bytes.size();
    if (previous_next != 0)
      put_at(previous_next,
             static_cast<std::uint32_t>(entry - (nt ? previous_entry : 0)));
    put(28, 2);
    previous_next = bytes.size();
    previous_entry = entry;
    put(0, 4);
    put(code_page == 0 ? 2 : 1, 2);
    const std::string device = code_page == 0 ? "4201    " : "EGA     ";
    bytes.insert(bytes.end(), device.begin(), device.end());
    put(static_cast<std::uint64_t>(code_page), 2);
    put(0, 6);
    put(bytes.size() + 4 - (nt ? entry : 0), 4);
    put(dr ? 2 : 1, 2);
    put(2, 2);
    put(dr ? 12 + 512 : 12 + 256 * 24, 2);
    for (const std::size_t height : {16, 8}) {
      put(height, 1);
      put(8, 1);
      put(0, 2);
      put(height == 8 ? eight_count : 256, 2);
      for (std::size_t code = 0; code < 256 && !dr; ++code) {
        for (std::size_t row = 0; row < height; ++row)
          bytes.push_back(glyph(code_page, code, row));
      }
    }
    for (std::size_t code = 0; code < 256 && dr; ++code)
      put(code_page == other ? 511 - code : code, 2);
  }
  for (std::size_t size = 0; size < 2 && dr; ++size) {
    const std::size_t height = size == 0 ? 16 : 8;
    put_at(shared_pointer + 4 * size, static_cast<std::uint32_t>(bytes.size()));
    for (std::size_t number = 0; number < 512; ++number) {
      const std::size_t code = number < 256 ? number : 511 - number;
      for (std::size_t row = 0; row < height; ++row)
        bytes.push_back(glyph(number < 256 ? 437 : other, code, row));
    }
  }
  return bytes;
}

// Each kind of CPI file, its 8x8 font taken by the code page named, or
// refused with what it holds.
TEST(Fonts, CodePageFontFiles) {
  const FontImage font = AllCodesFont();
  FontImage inverse = font;
  for (std::uint8_t& row : inverse)
    row = static_cast<std::uint8_t>(~row);
  const std::string holds = "437 (8x16, 8x8) and 850 (8x16, 8x8)";
  for (const std::string_view kind : {"FONT", "FONT.NT", "DRFONT"}) {
    SCOPED_TRACE(kind);
    const Bytes cpi = Cpi(kind, font);
    const struct {
      Bytes cpi;
      int code_page;
      std::string problem;
      const FontImage* expected;
    } cases[] = {
        {cpi, 850, "", &font},
        {cpi, 437, "", &inverse},
        {cpi, 0,
         "is a code page font file of " + holds +
             ": name the code page with --codepage.",
         nullptr},
        {cpi, 866,
         "is a code page font file without an 8x8 font of code page 866: it "
         "holds " +
             holds + ".",
         nullptr},
        // A code page the program has no table of is still taken by number.
        {Cpi(kind, font, 880), 880, "", &font},
        {Cpi(kind, font, 850, 128), 850,
         "is a code page font file whose 8x8 font of 850 has only 128 "
         "glyphs, not 256.",
         nullptr},
    };
    for (const auto& row : cases) {
      CodePageUse use;
      use.named = FindCodePage(row.code_page);
      use.named_without_table = use.named == nullptr ? row.code_page : 0;
      FontImage read{};
      EXPECT_EQ(ReadFont("EGA.CPI", row.cpi, &use, &read), row.problem)
          << row.code_page;
      if (row.expected != nullptr) {
        EXPECT_EQ(read, *row.expected) << row.code_page;
      }
    }
    Bytes cut(cpi.begin(), cpi.end() - 100);
    FontImage read{};
    CodePageUse use{.named = FindCodePage(850)};
    EXPECT_EQ(ReadFont("EGA.CPI", cut, &use, &read),
              "is a code page font file whose data is damaged.")
        << "cut in its last glyphs";
  }
}

// A PSF 1 font of 256 glyphs, glyph n all rows n, whose Unicode table
// gives glyph 5 the character and glyph 6 a sequence of it.
Bytes PsfWithTable(char16_t character) {
  Bytes bytes = {0x36, 0x04, 0x02, 0x08};
  for (std::size_t glyph = 0; glyph < 256; ++glyph)
    bytes.resize(bytes.size() + 8, static_cast<std::uint8_t>(glyph));
  const std::uint8_t low = static_cast<std::uint8_t>(character);
  const std::uint8_t high = static_cast<std::uint8_t>(character >> 8);
  for (std::size_t glyph = 0; glyph < 256; ++glyph) {
    if (glyph == 5)
      bytes.insert(bytes.end(), {low, high});
    if (glyph == 6)
      bytes.insert(bytes.end(), {0xFE, 0xFF, 0x41, 0x00, low, high});
    bytes.insert(bytes.end(), {0xFF, 0xFF});
  }
  return bytes;
}

// A PSF 1 font of 256 glyphs, glyph n all rows n, whose Unicode table
// gives each glyph its code's character in the code page, as a console
// font made for it does, but the first characters of the upper half left
// out.
Bytes PsfOfCodePage(int number, std::size_t left_out = 0) {
  Bytes bytes = {0x36, 0x04, 0x02, 0x08};
  for (std::size_t glyph = 0; glyph < 256; ++glyph)
    bytes.resize(bytes.size() + 8, static_cast<std::uint8_t>(glyph));
  const CodePage& code_page = *FindCodePage(number);
  for (std::size_t glyph = 0; glyph < 256; ++glyph) {
    const char16_t character = code_page.characters[glyph];
    if (glyph >= 0x80 && character != 0 && left_out > 0)
      --left_out;
    else if (character != 0)
      bytes.insert(bytes.end(), {static_cast<std::uint8_t>(character),
                                 static_cast<std::uint8_t>(character >> 8)});
    bytes.insert(bytes.end(), {0xFF, 0xFF});
  }
  return bytes;
}

// A code page file's entry of 8x8 glyphs, of the code page numbered.
Bytes EntryOfCodePage(std::uint16_t number) {
  Bytes bytes = CodePageEntry({{8, 256}});
  bytes[16] = static_cast<std::uint8_t>(number);
  bytes[17] = static_cast<std::uint8_t>(number >> 8);
  return bytes;
}

// Fonts keyed by characters go where the code page has them, and only
// there; fonts with codes of their own keep them unless one is named, or
// the font's own is asked for (as --check does) and it tells one.
TEST(Fonts, PlacedByCodePage) {
  const auto unicode_bdf = [](std::string_view encoding) {
    return "STARTFONT 2.1\nFONTBOUNDINGBOX 8 8 0 -1\nSTARTPROPERTIES 1\n"
           "CHARSET_REGISTRY \"ISO10646\"\nENDPROPERTIES\nSTARTCHAR G\n"
           "ENCODING " +
           std::string(encoding) +
           "\nBITMAP\n05\n05\n05\n05\n05\n05\n05\n05\nENDCHAR\nENDFONT\n";
  };
  const std::string zhe_bdf = unicode_bdf("1046");
  const auto charset_bdf = [](std::string_view registry,
                              std::string_view encoding) {
    return "STARTFONT 2.1\nFONTBOUNDINGBOX 8 8 0 -1\nSTARTPROPERTIES 2\n"
           "CHARSET_REGISTRY \"" +
           std::string(registry) + "\"\nCHARSET_ENCODING \"" +
           std::string(encoding) +
           "\"\nENDPROPERTIES\nSTARTCHAR G\nENCODING 198\nBITMAP\n05\n05\n05\n"
           "05\n05\n05\n05\n05\nENDCHAR\nENDFONT\n";
  };
  struct PlacementCase {
    const char* name;
    Bytes bytes;
    int code_page;                 // 0: none named
    std::size_t code;              // where the glyph's first row is checked
    std::uint8_t row;              // and what it is
    int used;                      // the code page it was placed by, or 0
    std::size_t codes;             // how many codes got a glyph by it
    bool by_own = false;           // the font's own code page asked for
    int own = 0;                   // the code page the font tells, or 0
    const char* own_charset = "";  // a set it tells without a table
  };
  const PlacementCase cases[] = {
      {"hex, by 437 unnamed",
       Text("0416:0101010101010101\n0041:0202020202020202\n"), 0, 0x41, 0x02,
       437, 1},
      {"hex, in Cyrillic DOS", Text("0416:0101010101010101\n"), 866, 0x86, 0x01,
       866, 1},
      {"hex, in Cyrillic Windows", Text("0416:0101010101010101\n"), 1251, 0xC6,
       0x01, 1251, 1},
      {"hex, the PC's pictures", Text("263A:0303030303030303\n"), 437, 0x01,
       0x03, 437, 1},
      {"ISO10646 BDF, named", Text(zhe_bdf), 866, 0x86, 0x05, 866, 1},
      {"ISO10646 BDF, unnamed, by 437", Text(unicode_bdf("199")), 0, 0x80, 0x05,
       437, 1},
      {"ISO10646 BDF, a code of the font's own", Text(unicode_bdf("61574")),
       866, 0x86, 0x05, 866, 1},
      {"PSF table, named, sequences left out", PsfWithTable(u'\u0416'), 866,
       0x86, 0x05, 866, 1},
      {"PSF table, unnamed", PsfWithTable(u'\u0416'), 0, 0x86, 0x86, 0, 0},
      {"PSF table of 866, its own told, its codes kept", PsfOfCodePage(866), 0,
       0x86, 0x86, 0, 0, false, 866},
      {"PSF table of 866, placed by its own", PsfOfCodePage(866), 0, 0x86, 0x86,
       866, 255, true, 866},
      // 866 gives 0x01-0x1F and 0x7F no character: the font's glyphs stay.
      {"PSF table of 866, placed by its own, keeps its controls",
       PsfOfCodePage(866), 0, 0x01, 0x01, 866, 255, true, 866},
      {"PSF table of 866, placed by 866 named, as by its own",
       PsfOfCodePage(866), 866, 0x01, 0x01, 866, 255, true},
      {"PSF table of 866, placed by 1251 named: its controls' glyphs go",
       PsfOfCodePage(866), 1251, 0x01, 0x00, 1251, 172, true},
      {"PSF table of 866, placed by the one named", PsfOfCodePage(866), 1251,
       0xC6, 0x86, 1251, 172, true},
      {"PSF table of 737 but 8 characters: still its own",
       PsfOfCodePage(737, 8), 0, 0x80, 0x00, 737, 247, true, 737},
      {"PSF table of 737 but 9 characters: none its own", PsfOfCodePage(737, 9),
       0, 0x80, 0x80, 0, 0, true},
      {"KOI8-R BDF keeps its codes and names its set",
       Text(charset_bdf("KOI8", "R")), 0, 0xC6, 0x05, 0, 0, true, 0, "KOI8-R"},
      {"BDF of Windows' 1251", Text(charset_bdf("MICROSOFT", "CP1251")), 0,
       0xC6, 0x05, 0, 0, true, 1251},
      {"BDF of Windows' 1251 placed by 866, as a FON is",
       Text(charset_bdf("MICROSOFT", "CP1251")), 866, 0x86, 0x05, 866, 1, false,
       1251},
      {"KOI8-R BDF named 866 keeps its codes", Text(charset_bdf("KOI8", "R")),
       866, 0xC6, 0x05, 0, 0, false, 0, "KOI8-R"},
      {"a code page file's entry of 737", CodePageEntry({{8, 256}}), 0, 0x41,
       0x5A, 0, 0, true, 737},
      {"a code page file's entry of 161, which has no table",
       EntryOfCodePage(161), 0, 0x41, 0x5A, 0, 0, true, 0, "code page 161"},
      {"Windows 1251 font into 866", Fnt(204, 0xC6, 0xC6, 8), 866, 0x86, 0x18,
       866, 1},
      {"Windows OEM font keeps its codes", Fnt(255, 0, 255, 8), 437, 0x00, 0x18,
       437, 256},
      {"a sheet keeps its codes", WriteFont(AllCodesFont(), FontFormat::Png),
       866, 0x86, AllCodesFont()[std::size_t{0x86} * 8], 0, 0},
      {"a text font keeps its codes",
       WriteFont(AllCodesFont(), FontFormat::Text), 866, 0x86,
       AllCodesFont()[std::size_t{0x86} * 8], 0, 0},
      {"TrueType symbol font keeps its codes",
       TrueType({.square = true, .symbol = true}), 0, 0x41, 0xFF, 437, 1},
      {"TrueType composite moved by its offsets",
       TrueType({.square = true,
                 .composite = true,
                 .part_flags = 0x0003,
                 .part_offset = 0}),
       0, 0x41, 0xFF, 437, 1},
  };
  for (const PlacementCase& row : cases) {
    SCOPED_TRACE(row.name);
    CodePageUse use;
    use.named = row.code_page == 0 ? nullptr : FindCodePage(row.code_page);
    use.by_own = row.by_own;
    FontImage font{};
    ASSERT_EQ(ReadFont("font", row.bytes, &use, &font), "");
    EXPECT_EQ(font[row.code * 8], row.row);
    EXPECT_EQ(use.used == nullptr ? 0 : use.used->number, row.used);
    EXPECT_EQ(use.codes_with_glyph, row.codes);
    EXPECT_EQ(use.own == nullptr ? 0 : use.own->number, row.own);
    EXPECT_EQ(use.own_charset, row.own_charset);
    EXPECT_TRUE(FormatOfContent(row.bytes)->placed_by_code_page ||
                row.used == 0)
        << "only a format the table of formats says a code page places";
  }
}

// Which format a file is, by its content alone: each format's files, what
// each writer writes, and what is none.
TEST(Fonts, TableOfFormatsTellsEachByItsContent) {
  const FontImage font = AllCodesFont();
  Bytes new_executable(0x40);
  new_executable[0] = 'M';
  new_executable[1] = 'Z';
  new_executable[0x3C] = 0x40;
  new_executable.insert(new_executable.end(), {'N', 'E'});
  Bytes bmp = Text("BM");
  bmp.resize(60);
  struct ContentCase {
    const char* name;
    Bytes bytes;
    std::optional<FontFormat> format;  // none: a raw font, or no font
  };
  const ContentCase cases[] = {
      {"PSF 1", WriteFont(font, FontFormat::Psf), FontFormat::Psf},
      {"PSF 2", Psf2(256, 8, 8, 2048), FontFormat::Psf},
      {"BDF", Text(kBdfHead), FontFormat::Bdf},
      {"PCF", Joined({1, 'f', 'c', 'p', 3, 0, 0, 0}, Bytes(100)),
       FontFormat::Pcf},
      {"TrueType", TrueType({}), FontFormat::TrueType},
      {"OpenType of PostScript outlines", Joined(Text("OTTO"), Bytes(60, 1)),
       FontFormat::TrueType},
      {"Windows FNT", Fnt(0, 32, 126, 8), FontFormat::Windows},
      {"Windows FON", new_executable, FontFormat::Windows},
      {"CPI", Cpi("DRFONT", font), FontFormat::Cpi},
      {"PNG", WriteFont(font, FontFormat::Png), FontFormat::Png},
      {"BMP", bmp, FontFormat::Bmp},
      {"GIF", Joined(Text("GIF87a"), Bytes(20)), FontFormat::Gif},
      {"hex", Text("0041:0000000000000000\n"), FontFormat::Hex},
      {"text", WriteFont(font, FontFormat::Text), FontFormat::Text},
      {"BDF as written", WriteFont(font, FontFormat::Bdf), FontFormat::Bdf},
      {"TrueType as written", WriteFont(font, FontFormat::TrueType),
       FontFormat::TrueType},
      {"OpenType bitmap font as written",
       WriteFont(font, FontFormat::TrueType, nullptr, "a.otb"),
       FontFormat::TrueType},
      {"raw", WriteFont(font, FontFormat::Raw), std::nullopt},
      {"gzip, a wrapper and no format", Gzip(WriteFont(font, FontFormat::Psf)),
       std::nullopt},
      {"a program", Joined(Text("MZ"), Bytes(100)), std::nullopt},
  };
  std::set<FontFormat> told;
  for (const ContentCase& row : cases) {
    SCOPED_TRACE(row.name);
    const FormatRow* format = FormatOfContent(row.bytes);
    EXPECT_EQ(format == nullptr ? std::nullopt : std::optional(format->format),
              row.format);
    if (format != nullptr)
      told.insert(format->format);
  }
  for (const FormatRow& row : FontFormats()) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(&RowOf(row.format), &row);
    EXPECT_EQ(told.count(row.format), row.recognise != nullptr ? 1u : 0u)
        << "every format told by its content has a case above";
    for (std::string_view extension : row.extensions) {
      if (!extension.empty()) {
        EXPECT_LE(FormatOfName("font" + std::string(extension)), &row)
            << extension << " names this format, or one tried before it";
      }
    }
  }
}

TEST(Fonts, OtherFormatsAreNotTakenForRawFonts) {
  const FontImage font = AllCodesFont();
  EXPECT_FALSE(BeginsLikeOtherFormat(WriteFont(font, FontFormat::Raw)));
  EXPECT_FALSE(
      BeginsLikeOtherFormat(Joined({0x36, 0x04, 0x09, 0x08}, Bytes(2048))))
      << "no PSF has mode 9";
  for (FontFormat format :
       {FontFormat::Psf, FontFormat::Bdf, FontFormat::Png, FontFormat::Text})
    EXPECT_TRUE(BeginsLikeOtherFormat(WriteFont(font, format)));
  EXPECT_TRUE(BeginsLikeOtherFormat(Bytes{0x1F, 0x8B, 0x08, 0x00}));
}

// Each transform of an "L" with a dot at its top right, as drawn by hand;
// each applied to one glyph of a font leaves the others alone.
TEST(Fonts, GlyphTransforms) {
  const Glyph shape = {0x81, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0xFE};
  const struct {
    GlyphTransform transform;
    Glyph expected;
  } cases[] = {
      {GlyphTransform::ShiftUp, {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0xFE, 0}},
      {GlyphTransform::ShiftDown,
       {0, 0x81, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}},
      {GlyphTransform::ShiftLeft, {0x02, 0, 0, 0, 0, 0, 0, 0xFC}},
      {GlyphTransform::ShiftRight,
       {0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x7F}},
      {GlyphTransform::FlipHorizontally, {0x81, 1, 1, 1, 1, 1, 1, 0x7F}},
      {GlyphTransform::FlipVertically,
       {0xFE, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x81}},
      {GlyphTransform::Rotate,
       {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01}},
      {GlyphTransform::Invert,
       {0x7E, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x01}},
      {GlyphTransform::Clear, {}},
      {GlyphTransform::Bold, {0xC1, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xFF}},
  };
  static_assert(std::size(cases) == kGlyphTransforms);
  const FontImage font = AllCodesFont();
  CodeSet codes;
  codes.set(0x41);
  FontImage shaped = font;
  constexpr std::ptrdiff_t kAt = std::ptrdiff_t{0x41} * 8;
  std::copy(shape.begin(), shape.end(), shaped.begin() + kAt);
  for (const auto& row : cases) {
    SCOPED_TRACE(static_cast<int>(row.transform));
    EXPECT_EQ(Transformed(shape, row.transform), row.expected);
    FontImage expected = shaped;
    std::copy(row.expected.begin(), row.expected.end(), expected.begin() + kAt);
    EXPECT_EQ(TransformGlyphs(shaped, codes, row.transform), expected);
    // A block of one glyph is the glyph: its picture turns the same.
    const GlyphBlock one = {{0x41}, 1};
    Picture picture = CutBlock(shaped, one);
    ASSERT_TRUE(TransformPicture(row.transform, &picture));
    FontImage put = shaped;
    ASSERT_TRUE(PutBlock(picture, one, &put));
    EXPECT_EQ(put, expected);
  }
  // A block of three across turns as one picture: a flip puts the glyphs
  // in the other order, each mirrored; a shift carries a column from
  // glyph to glyph and loses the last; a wide block does not rotate.
  const GlyphBlock three = {{0x41, 0x42, 0x43}, 3};
  FontImage row_font{};
  row_font[std::size_t{0x41} * 8] = 0x81;
  row_font[std::size_t{0x42} * 8] = 0x01;
  row_font[0x43 * 8 + 7] = 0x01;
  const struct {
    GlyphTransform transform;
    std::vector<std::pair<std::size_t, std::uint8_t>> rows;  // the rows set
  } block_cases[] = {
      {GlyphTransform::FlipHorizontally,
       {{0x41 * 8 + 7, 0x80}, {0x42 * 8, 0x80}, {0x43 * 8, 0x81}}},
      {GlyphTransform::ShiftRight,
       {{0x41 * 8, 0x40}, {0x42 * 8, 0x80}, {0x43 * 8, 0x80}}},
      {GlyphTransform::ShiftUp, {{0x43 * 8 + 6, 0x01}}},
      {GlyphTransform::Bold,
       {{0x41 * 8, 0xC1},
        {0x42 * 8, 0x81},
        {0x43 * 8, 0x80},
        {0x43 * 8 + 7, 0x01}}},
  };
  for (const auto& row : block_cases) {
    SCOPED_TRACE(static_cast<int>(row.transform));
    Picture picture = CutBlock(row_font, three);
    ASSERT_TRUE(TransformPicture(row.transform, &picture));
    FontImage put = row_font;
    ASSERT_TRUE(PutBlock(picture, three, &put));
    FontImage expected{};
    for (const auto& [at, bits] : row.rows)
      expected[at] = bits;
    EXPECT_EQ(put, expected);
  }
  Picture wide = CutBlock(row_font, three);
  const Picture before = wide;
  EXPECT_FALSE(TransformPicture(GlyphTransform::Rotate, &wide));
  EXPECT_EQ(wide.pixels, before.pixels);
  // Taking glyphs: where the base is blank and the other is not.
  FontImage half = font;
  std::fill(half.begin() + 1024, half.end(), 0);
  std::fill(half.begin(), half.begin() + 8, 0);
  FontImage other = font;
  std::fill(other.begin(), other.begin() + 8, 0);
  const CodeSet blank = BlankInBase(half, other);
  EXPECT_FALSE(blank[0]) << "blank in both";
  EXPECT_EQ(blank.count(), 128u);
  EXPECT_EQ(TakeGlyphs(half, other, blank), other);
}

// The picture drawn by the test's own hand, a pixel k by k: light ink on a
// dark, coloured paper, so that only the rule of the most common colour
// tells them apart.
Bytes MagnifiedPng(const Picture& picture, int k) {
  const int image_width = picture.width * k;
  const int image_height = picture.height * k;
  const std::size_t width = static_cast<std::size_t>(image_width);
  std::vector<std::uint8_t> rgb(width * static_cast<std::size_t>(image_height) *
                                3);
  for (std::size_t i = 0; i < rgb.size() / 3; ++i) {
    const std::size_t x = i % width / static_cast<std::size_t>(k);
    const std::size_t y = i / width / static_cast<std::size_t>(k);
    const bool ink =
        picture.pixels[y * static_cast<std::size_t>(picture.width) + x] ==
        std::uint8_t(PictureColour::Ink);
    rgb[i * 3] = ink ? 250 : 10;
    rgb[i * 3 + 1] = ink ? 240 : 20;
    rgb[i * 3 + 2] = ink ? 60 : 90;
  }
  return Png(image_width, image_height, rgb);
}

std::vector<std::size_t> CodesFrom(std::size_t first, std::size_t count) {
  std::vector<std::size_t> codes(count);
  for (std::size_t i = 0; i < count; ++i)
    codes[i] = first + i;
  return codes;
}

// A block cut from a font is the glyphs placed by hand where their place
// in the reading order puts them; put back, into the font or a blank one,
// it gives their glyphs and no other; read from the PNG written of it, or
// from one drawn magnified, it is the same picture.
TEST(Fonts, BlockOfGlyphsIsOnePicture) {
  const FontImage font = AllCodesFont();
  const struct {
    const char* name;
    GlyphBlock block;
    int width;  // of the picture, in pixels
    int height;
    int magnification;  // of the PNG drawn by the test
  } cases[] = {
      {"one glyph", {{0x41}, 1}, 8, 8, 1},
      {"a column", {{0xC9, 0xBA, 0xC8}, 1}, 8, 24, 2},
      {"three across, the last row part filled",
       {{0xC9, 0xCD, 0xBB, 0xBA, 0x20}, 3},
       24,
       16,
       3},
      {"codes out of order",
       {{0xFF, 0x00, 0x80, 0x7F, 0x10, 0x01}, 3},
       24,
       16,
       1},
      {"the whole font, as the sheet", {CodesFrom(0, 256), 16}, 128, 128, 1},
      {"a row of 16 and one more", {CodesFrom(0xE0, 17), 16}, 128, 16, 8},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    const GlyphBlock& block = row.block;
    Picture picture = CutBlock(font, block);
    ASSERT_EQ(picture.width, row.width);
    ASSERT_EQ(picture.height, row.height);
    ASSERT_EQ(picture.pixels.size(), std::size_t(row.width) * row.height);
    std::size_t ink = 0;
    for (std::size_t i = 0; i < block.codes.size(); ++i) {
      for (std::size_t y = 0; y < 8; ++y) {
        for (std::size_t x = 0; x < 8; ++x) {
          const std::size_t at =
              (i / block.width * 8 + y) * std::size_t(row.width) +
              i % block.width * 8 + x;
          const bool font_ink = IsInk(font, block.codes[i], y, x);
          ink += font_ink ? 1 : 0;
          EXPECT_EQ(picture.pixels[at] == std::uint8_t(PictureColour::Ink),
                    font_ink);
        }
      }
    }
    EXPECT_EQ(std::count(picture.pixels.begin(), picture.pixels.end(),
                         std::uint8_t(PictureColour::Ink)),
              std::ptrdiff_t(ink))
        << "ink in the cells past the last code";

    Picture read;
    EXPECT_EQ(ReadBlockPicture(WritePicturePng(picture), block, &read), "");
    EXPECT_EQ(read.pixels, picture.pixels);
    EXPECT_EQ(ReadBlockPicture(MagnifiedPng(picture, row.magnification), block,
                               &read),
              "");
    EXPECT_EQ(read.pixels, picture.pixels);
    if (block.codes.size() == 256) {
      EXPECT_EQ(WritePicturePng(picture), WriteFont(font, FontFormat::Png));
    }

    // Ink drawn past the last code is not put anywhere.
    if (block.codes.size() % block.width != 0)
      picture.pixels.back() = std::uint8_t(PictureColour::Ink);
    FontImage put = font;
    ASSERT_TRUE(PutBlock(picture, block, &put));
    EXPECT_EQ(put, font);
    FontImage blank{};
    ASSERT_TRUE(PutBlock(picture, block, &blank));
    FontImage expected{};
    for (std::size_t code : block.codes)
      std::copy_n(font.begin() + std::ptrdiff_t(code * 8), 8,
                  expected.begin() + std::ptrdiff_t(code * 8));
    EXPECT_EQ(blank, expected);
  }
  // A picture of another size is not put.
  FontImage unchanged = font;
  Picture wide = CutBlock(font, {{1, 2, 3}, 3});
  EXPECT_FALSE(PutBlock(wide, {{1, 2, 3, 4}, 2}, &unchanged));
  EXPECT_EQ(unchanged, font);
}

// What a picture of another size than the block's is told.
TEST(Fonts, BlockPicturesOfOtherSizesAreRefused) {
  const GlyphBlock four_by_two = {CodesFrom(0xF0, 8), 4};
  const auto plain = [](int width, int height) {
    return Png(width, height,
               std::vector<std::uint8_t>(std::size_t(width) * height * 3, 7));
  };
  const Bytes fits = plain(32, 16);
  std::vector<std::uint8_t> stripes(std::size_t{64} * 32 * 3);
  for (std::size_t i = 0; i < stripes.size(); ++i)
    stripes[i] = (i / 3) % 2 == 0 ? 200 : 0;
  const struct {
    const char* name;
    GlyphBlock block;
    Bytes bytes;
    std::string problem;
  } cases[] = {
      {"wider", four_by_two, plain(40, 16),
       "is 40x16; 4 glyphs across and 2 down need 32x16, or a whole multiple "
       "of it."},
      {"a width that does not divide the picture",
       {CodesFrom(0xF0, 8), 3},
       plain(32, 16),
       "is 32x16; 3 glyphs across and 3 down need 24x24, or a whole multiple "
       "of it."},
      {"magnified, but not in proportion", four_by_two, plain(64, 48),
       "is 64x48; 4 glyphs across and 2 down need 32x16, or a whole multiple "
       "of it."},
      {"magnified more than is read", four_by_two, plain(288, 144),
       "is 288x144, 9 times the 32x16 that 4 glyphs across and 2 down need; a "
       "picture is read magnified up to 8 times."},
      {"one glyph",
       {{0x41}, 1},
       plain(16, 8),
       "is 16x8; 1 glyph across and 1 down need 8x8, or a whole multiple of "
       "it."},
      {"magnified with blocks of two colours", four_by_two,
       Png(64, 32, stripes),
       "is 64x32, but not the 32x16 of 4 glyphs across and 2 down magnified: "
       "its 2x2 blocks of pixels are not each of one colour."},
      {"the sheet's size", four_by_two,
       WriteFont(AllCodesFont(), FontFormat::Png),
       "is 128x128; 4 glyphs across and 2 down need 32x16, or a whole multiple "
       "of it."},
      {"a font, not a picture", four_by_two,
       WriteFont(AllCodesFont(), FontFormat::Psf),
       "is not a PNG, BMP or GIF image."},
      {"a PNG cut short", four_by_two, Bytes(fits.begin(), fits.begin() + 40),
       "is a PNG image that could not be read."},
      {"a PNG of the block's size", four_by_two, fits, ""},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    Picture picture;
    EXPECT_EQ(ReadBlockPicture(row.bytes, row.block, &picture), row.problem);
  }
}

TEST(Fonts, DestinationsByExtension) {
  FontFormat format = FontFormat::Raw;
  EXPECT_TRUE(FormatOfExtension("dir.d/MY.PNG", &format));
  EXPECT_EQ(format, FontFormat::Png);
  EXPECT_TRUE(FormatOfExtension(R"(C:\fonts\a.F08)", &format));
  EXPECT_EQ(format, FontFormat::Raw);
  EXPECT_TRUE(FormatOfExtension("my.fnt", &format));
  EXPECT_EQ(format, FontFormat::Raw) << "not the Windows font of that name";
  EXPECT_TRUE(FormatOfExtension("my.OTB", &format));
  EXPECT_EQ(format, FontFormat::TrueType);
  for (const char* refused : {"ZYR2.EXE", "font", "dir.png/font", "a.psf.gz",
                              "a.bmp", "a.fon", "a.hex"})
    EXPECT_FALSE(FormatOfExtension(refused, &format)) << refused;
  EXPECT_EQ(WritableExtensions(),
            ".fnt, .f08, .bin, .psf, .bdf, .ttf, .otb, .png or .txt");
}

// The picture for a window: each glyph's pixels are ink exactly where the
// font has ink, and nowhere else is; the grid and its labels are drawn.
TEST(Fonts, PictureHoldsTheGlyphsAndTheirCodes) {
  const FontImage font = AllCodesFont();
  const Picture picture = DrawFontPicture(font);
  ASSERT_EQ(picture.pixels.size(),
            static_cast<std::size_t>(picture.width) * picture.height);
  std::size_t font_ink = 0;
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    for (std::size_t row = 0; row < 8; ++row) {
      for (std::size_t column = 0; column < 8; ++column) {
        const std::size_t at =
            static_cast<std::size_t>(PicturePixelY(code, row)) * picture.width +
            static_cast<std::size_t>(PicturePixelX(code, column));
        const bool ink = IsInk(font, code, row, column);
        font_ink += ink ? 1 : 0;
        EXPECT_EQ(picture.pixels[at] == std::uint8_t(PictureColour::Ink), ink);
      }
    }
  }
  std::array<std::size_t, 4> counts{};
  for (std::uint8_t pixel : picture.pixels)
    ++counts.at(pixel);
  EXPECT_EQ(counts[std::size_t(PictureColour::Ink)], font_ink);
  // Seventeen lines each way, 145 pixels long, crossing at 289 points.
  EXPECT_EQ(counts[std::size_t(PictureColour::Grid)], 2u * 17 * 145 - 289);
  EXPECT_GT(counts[std::size_t(PictureColour::Label)], 16u * 4 * 10);
  // Glyph 0x11 lies one cell right and one down from glyph 0x00.
  EXPECT_EQ(PicturePixelX(0x11, 0) - PicturePixelX(0x00, 0), 9);
  EXPECT_EQ(PicturePixelY(0x11, 0) - PicturePixelY(0x00, 0), 9);
}

// Every drawing for a terminal fits 80 columns, and a glyph of all ink
// comes out whole.
TEST(Fonts, DrawingsFitEightyColumns) {
  FontImage font{};
  const std::ptrdiff_t glyph_a = std::ptrdiff_t{0x41} * 8;
  std::fill(font.begin() + glyph_a, font.begin() + glyph_a + 8, 0xFF);
  struct DrawingCase {
    Drawing drawing;
    std::size_t lines;
    std::size_t widest;
    std::string full_glyph_row;  // a row of glyph 0x41, in its row of glyphs
  };
  const DrawingCase cases[] = {
      {Drawing::Ascii, 1 + std::size_t{32} * 9, 76,
       "0x40 ........ ######## ........"},
      {Drawing::Blocks, 1 + std::size_t{16} * 4, 69,
       "0x40     \u2588\u2588\u2588\u2588    "},
  };
  for (const DrawingCase& row : cases) {
    const std::string text = DrawFont(font, row.drawing);
    std::size_t lines = 0;
    std::size_t widest = 0;
    std::size_t width = 0;
    for (unsigned char c : text) {
      if (c == '\n') {
        ++lines;
        widest = std::max(widest, width);
        width = 0;
      } else if ((c & 0xC0) != 0x80) {
        ++width;  // a character, not the rest of one
      }
    }
    EXPECT_EQ(lines, row.lines);
    EXPECT_EQ(widest, row.widest);
    EXPECT_NE(text.find(row.full_glyph_row), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace mdlReplace
