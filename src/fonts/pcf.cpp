// PCF, the compiled bitmap fonts of X (also .pcf.gz). A table of contents
// points to tables of properties, metrics, bitmaps and encodings; each
// table says its own byte order, bit order and row padding. Glyphs are
// placed as their BDF source places them: in the 8x8 cell whose lower left
// corner is that of the font's bounding box, or, for a smaller box, at the
// cell's left on its baseline.
#include <algorithm>
#include <array>
#include <optional>

#include "base/names.h"
#include "fonts/codecs.h"
#include "fonts/placement.h"

namespace mdlReplace {

namespace {

constexpr std::array<std::uint8_t, 4> kPcfMagic = {0x01, 'f', 'c', 'p'};
constexpr std::uint32_t kProperties = 1u << 0;
constexpr std::uint32_t kMetrics = 1u << 2;
constexpr std::uint32_t kBitmaps = 1u << 3;
constexpr std::uint32_t kEncodings = 1u << 5;
// Format bits.
constexpr std::uint32_t kCompressedMetrics = 0x100;
constexpr std::uint32_t kBigEndianBytes = 1u << 2;
constexpr std::uint32_t kBigEndianBits = 1u << 3;
constexpr std::uint16_t kNoGlyph = 0xFFFF;
constexpr std::int64_t kCell = 8;
// More tables than the few kinds there are is no PCF file.
constexpr std::uint32_t kMostTables = 64;

constexpr std::string_view kDamaged = "is a PCF font whose data is damaged.";

struct Table {
  std::uint32_t format = 0;
  std::span<const std::uint8_t> bytes;  // from its format on
};

struct Metrics {
  std::int64_t left = 0;  // left side bearing
  std::int64_t right = 0;
  std::int64_t ascent = 0;
  std::int64_t descent = 0;
};

// A table's reader, past its format, in its byte order.
ByteReader TableReader(const Table& table) {
  ByteReader reader(table.bytes, (table.format & kBigEndianBytes) != 0);
  reader.Skip(4);
  return reader;
}

class PcfReader {
 public:
  PcfReader(std::span<const std::uint8_t> bytes, CodePageUse* use,
            FontImage* font)
      : bytes_(bytes), use_(use), font_(font) {}

  std::string Read();

 private:
  bool FindTables();
  bool ReadCharset();
  bool ReadMetrics();
  std::string CheckCell();
  std::string PlaceGlyphs();
  bool CellOf(std::size_t index, Glyph* cell);

  std::span<const std::uint8_t> bytes_;
  CodePageUse* use_;
  FontImage* font_;
  Table properties_, metrics_table_, bitmaps_, encodings_;
  bool unicode_ = false;
  std::vector<Metrics> metrics_;
  Metrics box_;  // the font's: the smallest left and the largest descent
  std::int64_t rows_below_baseline_ = 0;  // in the 8x8 cell
};

bool PcfReader::FindTables() {
  ByteReader reader(bytes_);
  reader.Skip(kPcfMagic.size());
  const std::uint32_t count = reader.U32();
  if (!reader.ok() || count > kMostTables)
    return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t type = reader.U32();
    const std::uint32_t format = reader.U32();
    const std::uint32_t size = reader.U32();
    const std::uint32_t offset = reader.U32();
    // X's own tools write a last table's size rounded up past the file's
    // end: a table ends where the file does, at the latest.
    if (!reader.ok() || offset > bytes_.size() - 4)
      return false;
    const Table table{format,
                      bytes_.subspan(offset).first(
                          std::min<std::size_t>(size, bytes_.size() - offset))};
    // The format is written twice: in the contents and in the table.
    ByteReader contents(table.bytes);
    if (contents.U32() != format || !contents.ok())
      return false;
    if (type == kProperties)
      properties_ = table;
    else if (type == kMetrics)
      metrics_table_ = table;
    else if (type == kBitmaps)
      bitmaps_ = table;
    else if (type == kEncodings)
      encodings_ = table;
  }
  return !metrics_table_.bytes.empty() && !bitmaps_.bytes.empty() &&
         !encodings_.bytes.empty();
}

// The character set the properties name: ISO10646, whose glyphs' codes
// are Unicode, or another, which the use is told of.
bool PcfReader::ReadCharset() {
  if (properties_.bytes.empty())
    return true;
  ByteReader reader = TableReader(properties_);
  const std::uint32_t count = reader.U32();
  if (count > properties_.bytes.size() / 9)
    return false;
  const std::size_t entries = reader.at();
  reader.Skip(std::uint64_t{count} * 9 + (count % 4 == 0 ? 0 : 4 - count % 4));
  const std::uint32_t strings_size = reader.U32();
  const std::span<const std::uint8_t> strings = reader.Take(strings_size);
  if (!reader.ok())
    return false;
  const auto string_at = [&](std::uint32_t at) {
    if (at >= strings.size())
      return std::string_view();
    const std::string_view all(reinterpret_cast<const char*>(strings.data()),
                               strings.size());
    return all.substr(at, all.find('\0', at) - at);
  };
  reader.Seek(entries);
  std::string_view registry;
  std::string_view encoding;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t name = reader.U32();
    const bool is_string = reader.U8() != 0;
    const std::uint32_t value = reader.U32();
    if (is_string && string_at(name) == "CHARSET_REGISTRY")
      registry = string_at(value);
    if (is_string && string_at(name) == "CHARSET_ENCODING")
      encoding = string_at(value);
  }
  unicode_ = EqualIgnoringAsciiCase(registry, "ISO10646");
  NoteCharset(use_, registry, encoding);
  return reader.ok();
}

bool PcfReader::ReadMetrics() {
  ByteReader reader = TableReader(metrics_table_);
  const bool compressed = (metrics_table_.format & kCompressedMetrics) != 0;
  const std::uint32_t count = compressed ? reader.U16() : reader.U32();
  const std::size_t entry = compressed ? 5 : 12;
  if (!reader.ok() || count > metrics_table_.bytes.size() / entry)
    return false;
  metrics_.resize(count);
  box_.left = INT64_MAX;
  for (Metrics& glyph : metrics_) {
    if (compressed) {
      glyph.left = reader.U8() - 0x80;
      glyph.right = reader.U8() - 0x80;
      reader.U8();  // width
      glyph.ascent = reader.U8() - 0x80;
      glyph.descent = reader.U8() - 0x80;
    } else {
      glyph.left = reader.S16();
      glyph.right = reader.S16();
      reader.S16();
      glyph.ascent = reader.S16();
      glyph.descent = reader.S16();
      reader.U16();  // attributes
    }
    box_.left = std::min(box_.left, glyph.left);
    box_.right = std::max(box_.right, glyph.right);
    box_.ascent = std::max(box_.ascent, glyph.ascent);
    box_.descent = std::max(box_.descent, glyph.descent);
  }
  return reader.ok() && count > 0;
}

// The font's box is its cell; one smaller than 8x8 goes into the 8x8 cell
// on its baseline.
std::string PcfReader::CheckCell() {
  const std::int64_t width = box_.right - box_.left;
  const std::int64_t height = box_.ascent + box_.descent;
  if (!FitsCell(width, height))
    return NotEightByEight("PCF", width, height);
  NoteGlyphSize(use_, width, height);
  rows_below_baseline_ = RowsBelowBaseline(box_.ascent, box_.descent);
  return std::string();
}

// The glyph's bitmap in its cell: rows padded to the table's unit, bits
// and bytes turned to the leftmost pixel in the high bit.
bool PcfReader::CellOf(std::size_t index, Glyph* cell) {
  const Metrics& glyph = metrics_[index];
  const std::int64_t width = glyph.right - glyph.left;
  const std::int64_t height = glyph.ascent + glyph.descent;
  if (width <= 0 || height <= 0)
    return true;  // no ink
  ByteReader reader = TableReader(bitmaps_);
  const std::uint32_t count = reader.U32();
  if (index >= count)
    return false;
  reader.Skip(std::uint64_t{index} * 4);
  const std::uint32_t offset = reader.U32();
  reader.Seek(reader.at() + (std::uint64_t{count} - index - 1) * 4 + 16);
  reader.Skip(offset);
  const std::uint64_t pad = std::uint64_t{1} << (bitmaps_.format & 3);
  const std::uint64_t unit = std::uint64_t{1} << ((bitmaps_.format >> 4) & 3);
  const std::uint64_t row_bytes =
      (static_cast<std::uint64_t>(width) + 8 * pad - 1) / (8 * pad) * pad;
  const bool swap = ((bitmaps_.format & kBigEndianBytes) != 0) !=
                    ((bitmaps_.format & kBigEndianBits) != 0);
  const bool reverse_bits = (bitmaps_.format & kBigEndianBits) == 0;
  for (std::int64_t row = 0; row < height; ++row) {
    const std::span<const std::uint8_t> bits = reader.Take(row_bytes);
    if (!reader.ok())
      return false;
    const std::int64_t cell_row =
        kCell - rows_below_baseline_ - glyph.ascent + row;
    for (std::int64_t column = 0; column < width; ++column) {
      std::uint64_t at = static_cast<std::uint64_t>(column / 8);
      if (swap && unit > 1)
        at = at / unit * unit + (unit - 1 - at % unit);
      const std::uint8_t byte = at < bits.size() ? bits[at] : 0;
      const std::int64_t bit = reverse_bits ? column % 8 : 7 - column % 8;
      if ((byte >> bit & 1) == 0)
        continue;
      const std::int64_t cell_column = glyph.left - box_.left + column;
      (*cell)[static_cast<std::size_t>(cell_row)] |=
          static_cast<std::uint8_t>(0x80 >> cell_column);
    }
  }
  return true;
}

// Each code of the encodings has a glyph's index, or none: codes 0 to 255
// where they are, or, placed by characters, each the code page has.
std::string PcfReader::PlaceGlyphs() {
  ByteReader reader = TableReader(encodings_);
  const std::uint16_t first_low = reader.U16();
  const std::uint16_t last_low = reader.U16();
  const std::uint16_t first_high = reader.U16();
  const std::uint16_t last_high = reader.U16();
  reader.U16();  // the default glyph
  if (!reader.ok() || first_low > last_low || first_high > last_high ||
      last_low > 0xFF || last_high > 0xFF)
    return std::string(kDamaged);
  // Keyed by characters, or by the codes of a code page other than the one
  // named: placed; else each glyph at its code.
  std::optional<GlyphPlacer> placer;
  if (unicode_ || PlacedFromOwn(*use_))
    placer.emplace(use_, font_);
  else
    font_->fill(0);
  for (std::uint32_t high = first_high; high <= last_high; ++high) {
    for (std::uint32_t low = first_low; low <= last_low; ++low) {
      const std::uint16_t index = reader.U16();
      const std::uint32_t code = high << 8 | low;
      std::size_t at = code;
      if (!reader.ok())
        return std::string(kDamaged);
      if (index == kNoGlyph ||
          (unicode_ ? !placer->CodeFor(code, &at) : code >= kGlyphCount))
        continue;
      Glyph cell{};
      if (index >= metrics_.size() || !CellOf(index, &cell))
        return std::string(kDamaged);
      if (unicode_)
        placer->PlaceAtCode(at, cell);
      else if (placer)
        placer->PlaceFromCodePage(*use_->own, code, cell);
      else
        std::copy(
            cell.begin(), cell.end(),
            font_->begin() + static_cast<std::ptrdiff_t>(at * kGlyphSize));
    }
  }
  return std::string();
}

std::string PcfReader::Read() {
  if (!FindTables() || !ReadCharset() || !ReadMetrics())
    return std::string(kDamaged);
  std::string problem = CheckCell();
  return problem.empty() ? PlaceGlyphs() : problem;
}

}  // namespace

bool LooksLikePcf(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= kPcfMagic.size() &&
         std::equal(kPcfMagic.begin(), kPcfMagic.end(), bytes.begin());
}

std::string ReadPcf(std::span<const std::uint8_t> bytes, CodePageUse* use,
                    FontImage* font) {
  return PcfReader(bytes, use, font).Read();
}

}  // namespace mdlReplace
