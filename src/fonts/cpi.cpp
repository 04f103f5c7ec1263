// DOS code-page font files: a CPI file, of the FONT, FONT.NT or DRFONT
// kind, or the entry of one code page alone, as kbd's .cp files are. For
// each code page and device, a code-page entry points to its fonts: screen
// fonts 8 pixels wide of a few heights (16, 14, 8), each its glyphs in code
// order, a byte a row. A DRFONT shares the glyphs of each height among the
// code pages, through a table of each code page's glyph numbers. The 8x8
// font of a code page is the game's font for it, its glyphs at their codes.
#include <algorithm>
#include <array>
#include <vector>

#include "fonts/code_pages.h"
#include "fonts/codecs.h"
#include "fonts/placement.h"

namespace mdlReplace {

namespace {

enum class CpiKind { Font, FontNt, DrFont, Entry };

constexpr std::size_t kFileHeader = 23;  // id, reserved, pointers, offset
constexpr std::size_t kEntryHeader = 28;
constexpr std::size_t kLongEntryHeader = 32;
constexpr std::uint16_t kScreen = 1;
// A file holds a few code pages and a few sizes each: more is no CPI file.
constexpr std::size_t kMostCodePages = 64;
constexpr std::size_t kMostFonts = 16;
constexpr std::string_view kDamaged =
    "is a code page font file whose data is damaged.";
constexpr std::string_view kPrintersOnly =
    "is a code page font file of printer fonts only, none for the screen.";

struct CpiMagic {
  std::array<std::uint8_t, 8> bytes;
  CpiKind kind;
};
constexpr std::array<CpiMagic, 3> kMagics = {{
    {{0xFF, 'F', 'O', 'N', 'T', ' ', ' ', ' '}, CpiKind::Font},
    {{0xFF, 'F', 'O', 'N', 'T', '.', 'N', 'T'}, CpiKind::FontNt},
    {{0x7F, 'D', 'R', 'F', 'O', 'N', 'T', ' '}, CpiKind::DrFont},
}};

// A screen font of a code page, and where its glyphs are: glyph c at
// glyphs + c * height, or, in a DRFONT, at glyphs + index[c] * height.
struct CpiFont {
  std::uint16_t code_page = 0;
  std::uint8_t width = 0;
  std::uint8_t height = 0;
  std::uint16_t count = 0;
  std::size_t glyphs = 0;
  std::size_t index = 0;  // a DRFONT's table of glyph numbers, else 0
};

// Where a DRFONT keeps the glyphs of each height.
struct SharedGlyphs {
  std::vector<std::uint8_t> heights;
  std::vector<std::uint32_t> offsets;
};

class CpiReader {
 public:
  CpiReader(std::span<const std::uint8_t> bytes, CpiKind kind)
      : bytes_(bytes), kind_(kind) {}

  // Finds every screen font; false when the file is damaged.
  bool Walk();
  const std::vector<CpiFont>& fonts() const { return fonts_; }
  // The font's glyphs, code by code; false when one lies outside the file.
  bool Glyphs(const CpiFont& cpi, FontImage* font) const;

 private:
  bool ReadShared(ByteReader* reader);
  bool ReadEntry(std::size_t entry, std::size_t* next);
  bool ReadInfo(std::size_t at, std::uint16_t code_page);

  std::span<const std::uint8_t> bytes_;
  CpiKind kind_;
  SharedGlyphs shared_;
  std::vector<CpiFont> fonts_;
};

bool CpiReader::Walk() {
  if (kind_ == CpiKind::Entry) {
    std::size_t next = 0;
    return ReadEntry(0, &next) && !fonts_.empty();
  }
  ByteReader reader(bytes_);
  reader.Seek(kFileHeader - 4);
  const std::uint32_t info = reader.U32();
  if (kind_ == CpiKind::DrFont && !ReadShared(&reader))
    return false;
  reader.Seek(info);
  const std::uint16_t code_pages = reader.U16();
  if (!reader.ok() || code_pages > kMostCodePages)
    return false;
  std::size_t entry = reader.at();
  for (std::uint16_t i = 0; i < code_pages; ++i) {
    std::size_t next = 0;
    if (!ReadEntry(entry, &next))
      return false;
    entry = next;
  }
  return true;
}

bool CpiReader::ReadShared(ByteReader* reader) {
  const std::uint8_t sizes = reader->U8();
  if (sizes > kMostFonts)
    return false;
  for (std::uint8_t i = 0; i < sizes; ++i)
    shared_.heights.push_back(reader->U8());
  for (std::uint8_t i = 0; i < sizes; ++i)
    shared_.offsets.push_back(reader->U32());
  return reader->ok();
}

// A code page's entry: its device and number, and where its fonts are
// told. In a FONT.NT both offsets count from the entry itself; in a .cp
// file the fonts follow the entry.
bool CpiReader::ReadEntry(std::size_t entry, std::size_t* next) {
  ByteReader reader(bytes_);
  reader.Seek(entry);
  reader.U16();  // the entry's size, which files give alike or not at all
  const std::uint32_t next_entry = reader.U32();
  const std::uint16_t device = reader.U16();
  reader.Skip(8);  // the device's name
  const std::uint16_t code_page = reader.U16();
  reader.Skip(6);
  const std::uint32_t info = reader.U32();
  if (!reader.ok())
    return false;
  const std::size_t base = kind_ == CpiKind::FontNt ? entry : 0;
  *next = base + next_entry;
  if (device != kScreen)
    return kind_ != CpiKind::Entry;  // a printer's, no font to show
  return ReadInfo(kind_ == CpiKind::Entry ? kEntryHeader : base + info,
                  code_page);
}

bool CpiReader::ReadInfo(std::size_t at, std::uint16_t code_page) {
  ByteReader reader(bytes_);
  reader.Seek(at);
  reader.U16();  // the version: 1 for FONT, 2 for DRFONT
  const std::uint16_t count = reader.U16();
  const std::uint16_t fonts_size = reader.U16();  // of what follows
  if (!reader.ok() || count > kMostFonts)
    return false;
  // A code page's entry alone is its fonts, to the file's last byte.
  const bool alone = kind_ == CpiKind::Entry;
  if (alone && fonts_size != bytes_.size() - reader.at())
    return false;
  std::vector<CpiFont> found;
  for (std::uint16_t i = 0; i < count; ++i) {
    CpiFont cpi;
    cpi.code_page = code_page;
    cpi.height = reader.U8();
    cpi.width = reader.U8();
    reader.Skip(2);  // the aspect
    cpi.count = reader.U16();
    cpi.glyphs = reader.at();
    if (kind_ != CpiKind::DrFont)
      reader.Skip(std::uint64_t{cpi.count} * cpi.height *
                  ((cpi.width + 7u) / 8));
    found.push_back(cpi);
  }
  if (!reader.ok() || (alone && reader.at() != bytes_.size()))
    return false;
  // A DRFONT's code page gives a glyph number a code, after its fonts; its
  // glyphs are those of the height's shared glyphs.
  for (CpiFont& cpi : found) {
    if (kind_ == CpiKind::DrFont) {
      const auto height =
          std::find(shared_.heights.begin(), shared_.heights.end(), cpi.height);
      if (height == shared_.heights.end())
        return false;
      cpi.index = reader.at();
      cpi.glyphs = shared_.offsets[static_cast<std::size_t>(
          height - shared_.heights.begin())];
    }
    fonts_.push_back(cpi);
  }
  return true;
}

// A font of fewer rows goes into the top rows of the 8x8 cell: a code
// page's font keeps no baseline, and its rows count from the top.
bool CpiReader::Glyphs(const CpiFont& cpi, FontImage* font) const {
  ByteReader index(bytes_);
  index.Seek(cpi.index);
  const std::uint8_t mask = static_cast<std::uint8_t>(0xFF00 >> cpi.width);
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    const std::size_t number = cpi.index != 0 ? index.U16() : code;
    ByteReader glyph(bytes_);
    glyph.Seek(cpi.glyphs + std::uint64_t{number} * cpi.height);
    const std::span<const std::uint8_t> rows = glyph.Take(cpi.height);
    if (!index.ok() || !glyph.ok())
      return false;
    for (std::size_t row = 0; row < rows.size(); ++row)
      (*font)[code * kGlyphSize + row] = rows[row] & mask;
  }
  return true;
}

// A screen font whose cells the game's take: 8x8, or smaller.
bool FitsGameCell(const CpiFont& cpi) {
  return FitsCell(cpi.width, cpi.height);
}

std::string SizeOf(const CpiFont& cpi) {
  return std::to_string(cpi.width) + "x" + std::to_string(cpi.height);
}

// "437 (8x16, 8x14 and 8x8) and 850 (8x16)": what the file holds.
std::string Holdings(const std::vector<CpiFont>& fonts) {
  std::vector<std::uint16_t> code_pages;
  for (const CpiFont& cpi : fonts) {
    if (std::find(code_pages.begin(), code_pages.end(), cpi.code_page) ==
        code_pages.end())
      code_pages.push_back(cpi.code_page);
  }
  std::string text;
  for (std::size_t i = 0; i < code_pages.size(); ++i) {
    if (i > 0)
      text += i + 1 == code_pages.size() ? " and " : ", ";
    text += std::to_string(code_pages[i]) + " (";
    bool first = true;
    for (const CpiFont& cpi : fonts) {
      if (cpi.code_page != code_pages[i])
        continue;
      text += (first ? "" : ", ") + SizeOf(cpi);
      first = false;
    }
    text += ")";
  }
  return text;
}

// The font a code page's fonts give the game: their 8x8 one, or else the
// tallest of those smaller; null for none.
const CpiFont* FontOfCodePage(const std::vector<CpiFont>& fonts,
                              std::uint16_t code_page) {
  const CpiFont* best = nullptr;
  for (const CpiFont& cpi : fonts) {
    if (cpi.code_page == code_page && FitsGameCell(cpi) &&
        (best == nullptr || cpi.height > best->height))
      best = &cpi;
  }
  return best;
}

std::string TooFewGlyphs(const CpiFont& cpi) {
  return "is a code page font file whose " + SizeOf(cpi) + " font of " +
         std::to_string(cpi.code_page) + " has only " +
         std::to_string(cpi.count) + " glyphs, not 256.";
}

// The font to take: the named code page's, or that of the file's only
// code page with one; null, and *problem says why, when there is none.
const CpiFont* Chosen(const std::vector<CpiFont>& fonts, int named,
                      std::string* problem) {
  const CpiFont* chosen = nullptr;
  std::size_t code_pages = 0;
  for (const CpiFont& cpi : fonts) {
    const CpiFont* font = FontOfCodePage(fonts, cpi.code_page);
    if (font != &cpi || (named != 0 && cpi.code_page != named))
      continue;  // another code page's, or not its font for the game
    chosen = font;
    ++code_pages;
  }
  const std::string holdings = Holdings(fonts);
  if (fonts.empty())
    *problem = std::string(kPrintersOnly);
  else if (named != 0 && chosen == nullptr)
    *problem = "is a code page font file without an 8x8 font of code page " +
               std::to_string(named) + ": it holds " + holdings + ".";
  else if (chosen == nullptr)
    *problem = "is a code page font file of " + holdings + ", none 8x8.";
  else if (code_pages > 1)
    *problem = "is a code page font file of " + holdings +
               ": name the code page with --codepage.";
  else if (chosen->count < kGlyphCount)
    *problem = TooFewGlyphs(*chosen);
  return problem->empty() ? chosen : nullptr;
}

CpiKind KindOf(std::span<const std::uint8_t> bytes) {
  for (const CpiMagic& magic : kMagics) {
    if (BeginsWith(bytes, magic.bytes))
      return magic.kind;
  }
  return CpiKind::Entry;
}

// One code page's entry alone, as kbd's .cp files are, told by its header:
// an entry of 28 bytes (32 in some), a device named in letters, digits and
// blanks, and the bytes kept after the code page's number zero. The fonts
// after it are checked as they are read: an entry they do not fit is a
// damaged one.
bool IsLoneEntry(std::span<const std::uint8_t> bytes) {
  ByteReader reader(bytes);
  const std::uint16_t size = reader.U16();
  reader.Seek(8);
  const std::span<const std::uint8_t> device = reader.Take(8);
  reader.Skip(2);  // the code page
  const std::span<const std::uint8_t> kept = reader.Take(6);
  const auto is_name = [](std::uint8_t c) {
    return c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
  };
  return reader.ok() && bytes.size() > kEntryHeader &&
         (size == kEntryHeader || size == kLongEntryHeader) &&
         device[0] >= 'A' && device[0] <= 'Z' &&
         std::all_of(device.begin(), device.end(), is_name) &&
         std::all_of(kept.begin(), kept.end(),
                     [](std::uint8_t c) { return c == 0; });
}

}  // namespace

bool LooksLikeCpi(std::span<const std::uint8_t> bytes) {
  return KindOf(bytes) != CpiKind::Entry || IsLoneEntry(bytes);
}

std::string ReadCpi(std::span<const std::uint8_t> bytes, CodePageUse* use,
                    FontImage* font) {
  CpiReader reader(bytes, KindOf(bytes));
  if (!reader.Walk())
    return std::string(kDamaged);
  std::string problem;
  const int named =
      use->named != nullptr ? use->named->number : use->named_without_table;
  const CpiFont* chosen = Chosen(reader.fonts(), named, &problem);
  if (chosen == nullptr)
    return problem;
  font->fill(0);
  if (!reader.Glyphs(*chosen, font))
    return std::string(kDamaged);
  NoteGlyphSize(use, chosen->width, chosen->height);
  use->own = FindCodePage(chosen->code_page);
  // One the program has no table of is told by its number.
  if (use->own == nullptr)
    use->own_charset = "code page " + std::to_string(chosen->code_page);
  // Taken by the code page named: another code page takes another font.
  if (use->named != nullptr) {
    use->used = use->named;
    use->codes_with_glyph = kGlyphCount;
  }
  return std::string();
}

}  // namespace mdlReplace
