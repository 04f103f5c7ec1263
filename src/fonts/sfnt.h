// The table directory of an sfnt file (TrueType, OpenType): the tables by
// their four-letter tags, each checked to lie in the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace mdlReplace {

struct SfntTable {
  std::size_t offset = 0;
  std::size_t length = 0;
};

std::uint16_t SfntTableCount(std::span<const std::uint8_t> bytes);

// The tag and the span of the directory's entry; false when the entry or
// its table does not lie in the file.
bool SfntEntry(std::span<const std::uint8_t> bytes, std::uint16_t index,
               std::span<const std::uint8_t>* tag, SfntTable* table);

// The first table of the tag.
bool FindSfntTable(std::span<const std::uint8_t> bytes, std::string_view tag,
                   SfntTable* table);

// Whether the directory lists a table of the tag, whether or not the table
// lies in the file, as a cut file's does.
bool ListsSfntTable(std::span<const std::uint8_t> bytes, std::string_view tag);

// Whether the directory lists outlines: a glyf table that is not empty (an
// OpenType bitmap font may have an empty one), or a CFF table.
bool ListsOutlines(std::span<const std::uint8_t> bytes);

}  // namespace mdlReplace
