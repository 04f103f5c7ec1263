// The checks the program makes of a TrueType font before stb_truetype
// reads it: stb trusts the font it reads, so each table, each cmap lookup
// it will make and each glyph it will walk is checked here first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "base/byte_reader.h"
#include "fonts/sfnt.h"
#include "fonts/stb_truetype.h"

namespace mdlReplace {

using TableSpan = SfntTable;

// What stb may be handed of a glyph: one it draws; one whose data is
// damaged; a composite that places a part by matching points, which stb
// does not read; one whose parts it would move beyond the 16 bits it
// stores a coordinate in.
enum class GlyphCheck { Drawable, Damaged, MatchedPoints, BeyondRange };

// The tables the glyphs are read from, each checked to lie in the file.
class FontTables {
 public:
  explicit FontTables(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  // Checks the directory and the tables; false when the font is damaged.
  bool Check();
  // Checks the glyph and, in a composite, its parts, as stb will walk
  // them; points counts its points and parts. stb, with the font open,
  // shapes the parts found drawable, to see where a composite moves them.
  GlyphCheck CheckGlyph(const TrueTypeFont* font, int index, int depth,
                        std::size_t* points) const;

  std::uint32_t units_per_em() const { return units_per_em_; }
  std::int16_t ascender() const { return ascender_; }
  std::int16_t descender() const { return descender_; }
  // The encoding record of the symbol subtable chosen, in a font of no
  // Unicode subtable; 0 in any other.
  std::size_t symbol_record() const { return symbol_record_; }

 private:
  bool CheckDirectory() const;
  bool Find(std::string_view tag, TableSpan* table) const;
  bool CheckCmap(std::size_t subtable) const;
  bool CheckSegments(ByteReader reader, std::size_t subtable,
                     std::size_t length) const;
  bool CheckSimpleGlyph(ByteReader reader, int contours,
                        std::size_t* points) const;
  bool GlyphData(int index, std::span<const std::uint8_t>* data) const;

  std::span<const std::uint8_t> bytes_;
  TableSpan loca_, glyf_;
  std::uint32_t units_per_em_ = 0;
  std::uint16_t glyph_count_ = 0;
  bool long_offsets_ = false;
  std::int16_t ascender_ = 0;
  std::int16_t descender_ = 0;
  std::size_t symbol_record_ = 0;
};

}  // namespace mdlReplace
