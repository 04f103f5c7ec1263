#include "fonts/truetype_tables.h"

#include <array>
#include <cmath>
#include <vector>

#include "fonts/stb_truetype.h"

namespace mdlReplace {

namespace {

// Composite glyphs may nest; deeper than this is a loop. A glyph, its
// parts counted as often as they are used, has at most this many points
// and parts: a glyph of an 8x8 font needs a few dozen.
constexpr int kDeepestComposite = 8;
constexpr std::size_t kMostPoints = 65536;
constexpr std::uint32_t kLastCharacter = 0x10FFFF;
// Glyph flags: of a simple glyph's points, and of a composite's parts.
constexpr std::uint8_t kOnCurve = 0x01;
constexpr std::uint8_t kRepeatFlag = 0x08;
constexpr std::uint8_t kShortX = 0x02;
constexpr std::uint8_t kSameOrPositiveX = 0x10;
constexpr std::uint8_t kShortY = 0x04;
constexpr std::uint8_t kSameOrPositiveY = 0x20;
constexpr std::uint16_t kWordArguments = 0x0001;
constexpr std::uint16_t kArgumentsAreOffsets = 0x0002;
constexpr std::uint16_t kOneScale = 0x0008;
constexpr std::uint16_t kMoreComponents = 0x0020;
constexpr std::uint16_t kTwoScales = 0x0040;
constexpr std::uint16_t kTwoByTwo = 0x0080;
// Microsoft's encoding of symbol fonts: characters U+F020 to U+F0FF.
constexpr std::uint16_t kSymbolEncoding = 0;
// The largest coordinate stb can store, with a unit to spare.
constexpr double kLargestCoordinate = 32767;
constexpr double kF2Dot14 = 16384;

// How a composite moves a part: x' = a x + c y + e, y' = b x + d y + f,
// as {a, b, c, d, e, f}.
using PartMatrix = std::array<double, 6>;

// A part's matrix as stb reads it: the offsets, in words or in signed
// bytes, then one scale, two, or two by two, each of 2.14 bits.
PartMatrix ReadPartMatrix(ByteReader* reader, std::uint16_t flags) {
  PartMatrix matrix = {1, 0, 0, 1, 0, 0};
  const bool words = (flags & kWordArguments) != 0;
  matrix[4] = words ? reader->S16() : reader->S8();
  matrix[5] = words ? reader->S16() : reader->S8();
  if ((flags & kOneScale) != 0) {
    matrix[0] = matrix[3] = reader->S16() / kF2Dot14;
  } else if ((flags & kTwoScales) != 0) {
    matrix[0] = reader->S16() / kF2Dot14;
    matrix[3] = reader->S16() / kF2Dot14;
  } else if ((flags & kTwoByTwo) != 0) {
    for (int i = 0; i < 4; ++i)
      matrix[static_cast<std::size_t>(i)] = reader->S16() / kF2Dot14;
  }
  return matrix;
}

// What stb makes of a part: it moves each point, control points too, by
// the part's matrix, its columns scaled by their lengths, and stores the
// result in 16 bits. A result beyond them is undefined, so it is computed
// here first, in a wider type, with a unit to spare for the rounding of
// stb's floats.
bool PartFits(const TrueTypeFont* font, int part, const PartMatrix& matrix) {
  std::vector<std::array<int, 2>> points;
  TrueTypeCoordinates(
      font, part,
      [](void* context, int x, int y) {
        static_cast<std::vector<std::array<int, 2>>*>(context)->push_back(
            {x, y});
      },
      &points);
  if (points.empty())
    return true;
  // The control point of a line, which stb moves too.
  points.push_back({0, 0});
  const double m = std::sqrt(matrix[0] * matrix[0] + matrix[1] * matrix[1]);
  const double n = std::sqrt(matrix[2] * matrix[2] + matrix[3] * matrix[3]);
  for (const std::array<int, 2>& point : points) {
    const double x =
        m * (matrix[0] * point[0] + matrix[2] * point[1] + matrix[4]);
    const double y =
        n * (matrix[1] * point[0] + matrix[3] * point[1] + matrix[5]);
    if (std::abs(x) > kLargestCoordinate || std::abs(y) > kLargestCoordinate)
      return false;
  }
  return true;
}

}  // namespace

// stb reads the offset of every table it looks for, kern and GPOS too, as
// a signed sum of shifted bytes: each table of the directory must lie in
// the file, which keeps every offset below 2^31.
bool FontTables::CheckDirectory() const {
  std::span<const std::uint8_t> tag;
  TableSpan table;
  for (std::uint16_t i = 0; i < SfntTableCount(bytes_); ++i) {
    if (!SfntEntry(bytes_, i, &tag, &table))
      return false;
  }
  return true;
}

// The first table of the tag, as stb finds it.
bool FontTables::Find(std::string_view tag, TableSpan* table) const {
  return FindSfntTable(bytes_, tag, table);
}

bool FontTables::Check() {
  TableSpan head, hhea, maxp, cmap;
  if (!CheckDirectory() || !Find("head", &head) || !Find("hhea", &hhea) ||
      !Find("maxp", &maxp) || !Find("cmap", &cmap) || !Find("loca", &loca_) ||
      !Find("glyf", &glyf_) || head.length < 54 || hhea.length < 36 ||
      maxp.length < 6)
    return false;
  ByteReader reader(bytes_, true);
  reader.Seek(head.offset + 18);
  units_per_em_ = reader.U16();
  reader.Seek(head.offset + 50);
  const std::uint16_t location_format = reader.U16();
  reader.Seek(hhea.offset + 4);
  ascender_ = reader.S16();
  descender_ = reader.S16();
  reader.Seek(maxp.offset + 4);
  glyph_count_ = reader.U16();
  long_offsets_ = location_format == 1;
  if (!reader.ok() || location_format > 1 || units_per_em_ == 0 ||
      loca_.length / (long_offsets_ ? 4 : 2) < std::size_t{glyph_count_} + 1)
    return false;
  // The cmap subtable stb takes: the last of Unicode's, or Microsoft's
  // for Unicode; in a font without them, Microsoft's for symbols, which
  // stb is then handed as one for Unicode.
  reader.Seek(cmap.offset + 2);
  const std::uint16_t subtables = reader.U16();
  std::size_t chosen = 0;
  std::size_t symbols = 0;
  for (std::uint16_t i = 0; i < subtables; ++i) {
    const std::size_t record = reader.at();
    const std::uint16_t platform = reader.U16();
    const std::uint16_t encoding = reader.U16();
    const std::uint32_t offset = reader.U32();
    const bool unicode =
        platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
    if (!unicode && !(platform == 3 && encoding == kSymbolEncoding))
      continue;
    if (offset > cmap.length)
      return false;  // stb reads every one of them
    if (unicode) {
      chosen = cmap.offset + offset;
    } else {
      symbols = cmap.offset + offset;
      symbol_record_ = record;
    }
  }
  if (chosen != 0)
    symbol_record_ = 0;
  else
    chosen = symbols;
  return reader.ok() && chosen != 0 && CheckCmap(chosen);
}

// Each format stb reads, checked to lie in the file; stb cannot read any
// other.
bool FontTables::CheckCmap(std::size_t subtable) const {
  ByteReader reader(bytes_, true);
  reader.Seek(subtable);
  const std::uint16_t format = reader.U16();
  std::uint64_t length = reader.U16();
  if (format == 12 || format == 13) {
    length = reader.U32();  // after 16 reserved bits
    const std::uint32_t groups = (reader.Skip(4), reader.U32());
    if (!reader.ok() || length > bytes_.size() - subtable ||
        std::uint64_t{groups} * 12 + 16 > length)
      return false;
    // Characters of Unicode and glyphs of 16 bits, as stb reads them.
    for (std::uint32_t i = 0; i < groups; ++i) {
      const std::uint32_t first = reader.U32();
      const std::uint32_t last = reader.U32();
      const std::uint32_t glyph = reader.U32();
      if (first > last || last > kLastCharacter || glyph > 0xFFFF)
        return false;
    }
    return reader.ok();
  }
  if (!reader.ok() || length > bytes_.size() - subtable)
    return false;
  if (format == 0)
    return length >= 262;
  if (format == 6) {
    reader.Skip(2);
    const std::uint16_t count = (reader.U16(), reader.U16());
    return reader.ok() && 10 + std::uint64_t{count} * 2 <= length;
  }
  return format == 4 &&
         CheckSegments(reader, subtable, static_cast<std::size_t>(length));
}

// Format 4: stb's binary search keeps to the segments only when the
// header's search numbers are the ones the segment count gives; a segment
// that maps through its range offset must end within the file.
bool FontTables::CheckSegments(ByteReader reader, std::size_t subtable,
                               std::size_t length) const {
  reader.Skip(2);
  const std::uint16_t segments = reader.U16() / 2;
  const std::uint16_t search_range = reader.U16();
  const std::uint16_t entry_selector = reader.U16();
  const std::uint16_t range_shift = reader.U16();
  if (!reader.ok() || segments == 0 || 16 + std::size_t{segments} * 8 > length)
    return false;
  std::uint32_t power = 1;
  std::uint16_t log = 0;
  while (power * 2 <= segments) {
    power *= 2;
    ++log;
  }
  if (search_range != power * 2 || entry_selector != log ||
      range_shift != segments * 2 - search_range)
    return false;
  const std::size_t ends = subtable + 14;
  const std::size_t starts = ends + std::size_t{segments} * 2 + 2;
  const std::size_t range_offsets = starts + std::size_t{segments} * 4;
  for (std::size_t i = 0; i < segments; ++i) {
    reader.Seek(ends + i * 2);
    const std::uint16_t end = reader.U16();
    reader.Seek(starts + i * 2);
    const std::uint16_t start = reader.U16();
    reader.Seek(range_offsets + i * 2);
    const std::uint16_t range_offset = reader.U16();
    if (range_offset != 0 && end >= start &&
        range_offsets + i * 2 + range_offset +
                std::size_t{static_cast<std::uint16_t>(end - start)} * 2 + 2 >
            bytes_.size())
      return false;
  }
  return reader.ok();
}

bool FontTables::GlyphData(int index,
                           std::span<const std::uint8_t>* data) const {
  if (index < 0 || index >= glyph_count_)
    return false;
  ByteReader reader(bytes_, true);
  const std::size_t at = static_cast<std::size_t>(index);
  reader.Seek(loca_.offset + at * (long_offsets_ ? 4 : 2));
  const std::uint64_t start = long_offsets_ ? reader.U32() : reader.U16() * 2u;
  const std::uint64_t end = long_offsets_ ? reader.U32() : reader.U16() * 2u;
  if (!reader.ok() || start > end || end > glyf_.length)
    return false;
  *data = bytes_.subspan(glyf_.offset + static_cast<std::size_t>(start),
                         static_cast<std::size_t>(end - start));
  return true;
}

// Points' flags (with repeats), then their x, then their y coordinates,
// each 1 or 2 bytes or none by its flag.
bool FontTables::CheckSimpleGlyph(ByteReader reader, int contours,
                                  std::size_t* counted) const {
  std::uint32_t last_end = 0;
  std::int64_t end_before_last = -1;
  for (int i = 0; i < contours; ++i) {
    const std::uint16_t end = reader.U16();
    if (i > 0 && end <= last_end)
      return false;
    if (i > 0)
      end_before_last = last_end;
    last_end = end;
  }
  const std::uint32_t points = last_end + 1;
  *counted += points;
  if (*counted > kMostPoints)
    return false;
  reader.Skip(reader.U16());  // instructions
  std::vector<std::uint8_t> flags;
  flags.reserve(points);
  while (reader.ok() && flags.size() < points) {
    const std::uint8_t flag = reader.U8();
    std::size_t repeats = (flag & kRepeatFlag) != 0 ? reader.U8() : 0;
    for (flags.push_back(flag); repeats > 0 && flags.size() < points; --repeats)
      flags.push_back(flag);
  }
  // stb looks one point past a contour that begins off the curve: past
  // its points when the last contour is that one point alone.
  if (!flags.empty() && end_before_last + 1 == std::int64_t{last_end} &&
      (flags.back() & kOnCurve) == 0)
    return false;
  std::uint64_t coordinate_bytes = 0;
  for (std::uint8_t flag : flags) {
    coordinate_bytes += (flag & kShortX) != 0            ? 1
                        : (flag & kSameOrPositiveX) != 0 ? 0
                                                         : 2;
    coordinate_bytes += (flag & kShortY) != 0            ? 1
                        : (flag & kSameOrPositiveY) != 0 ? 0
                                                         : 2;
  }
  reader.Skip(coordinate_bytes);
  return reader.ok();
}

GlyphCheck FontTables::CheckGlyph(const TrueTypeFont* font, int index,
                                  int depth, std::size_t* points) const {
  std::span<const std::uint8_t> data;
  if (depth > kDeepestComposite || ++*points > kMostPoints ||
      !GlyphData(index, &data))
    return GlyphCheck::Damaged;
  if (data.empty())
    return GlyphCheck::Drawable;  // no outline
  ByteReader reader(data, true);
  const std::int16_t contours = reader.S16();
  reader.Skip(8);  // the glyph's box
  if (contours > 0)
    return CheckSimpleGlyph(reader, contours, points) ? GlyphCheck::Drawable
                                                      : GlyphCheck::Damaged;
  if (contours == 0)
    return reader.ok() ? GlyphCheck::Drawable : GlyphCheck::Damaged;
  // A composite: stb cannot be handed a part placed by matching points,
  // nor one it would move beyond 16 bits.
  GlyphCheck found = GlyphCheck::Drawable;
  std::uint16_t flags = kMoreComponents;
  while (reader.ok() && (flags & kMoreComponents) != 0) {
    flags = reader.U16();
    const std::int16_t part = reader.S16();
    const PartMatrix matrix = ReadPartMatrix(&reader, flags);
    const GlyphCheck part_check = CheckGlyph(font, part, depth + 1, points);
    if (part_check == GlyphCheck::Damaged || !reader.ok())
      return GlyphCheck::Damaged;
    if (found != GlyphCheck::Drawable)
      continue;
    if ((flags & kArgumentsAreOffsets) == 0)
      found = GlyphCheck::MatchedPoints;
    else if (part_check != GlyphCheck::Drawable)
      found = part_check;
    else if (!PartFits(font, part, matrix))
      found = GlyphCheck::BeyondRange;
  }
  return reader.ok() ? found : GlyphCheck::Damaged;
}

}  // namespace mdlReplace
