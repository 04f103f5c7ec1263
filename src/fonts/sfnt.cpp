#include "fonts/sfnt.h"

#include <algorithm>

#include "fonts/codecs.h"

namespace mdlReplace {

std::uint16_t SfntTableCount(std::span<const std::uint8_t> bytes) {
  ByteReader reader(bytes, true);
  reader.Skip(4);
  return reader.U16();
}

bool SfntEntry(std::span<const std::uint8_t> bytes, std::uint16_t index,
               std::span<const std::uint8_t>* tag, SfntTable* table) {
  ByteReader reader(bytes, true);
  reader.Seek(12 + std::size_t{index} * 16);
  *tag = reader.Take(4);
  reader.Skip(4);  // checksum
  const std::uint32_t offset = reader.U32();
  const std::uint32_t length = reader.U32();
  *table = SfntTable{offset, length};
  return reader.ok() && offset <= bytes.size() &&
         length <= bytes.size() - offset;
}

bool FindSfntTable(std::span<const std::uint8_t> bytes, std::string_view tag,
                   SfntTable* table) {
  std::span<const std::uint8_t> name;
  for (std::uint16_t i = 0; i < SfntTableCount(bytes); ++i) {
    if (SfntEntry(bytes, i, &name, table) &&
        std::equal(tag.begin(), tag.end(), name.begin()))
      return true;
  }
  return false;
}

namespace {

// The length the directory gives the first table of the tag; false when
// it lists none.
bool ListedLength(std::span<const std::uint8_t> bytes, std::string_view tag,
                  std::size_t* length) {
  std::span<const std::uint8_t> name;
  SfntTable table;
  for (std::uint16_t i = 0; i < SfntTableCount(bytes); ++i) {
    SfntEntry(bytes, i, &name, &table);
    if (name.size() == tag.size() &&
        std::equal(tag.begin(), tag.end(), name.begin())) {
      *length = table.length;
      return true;
    }
  }
  return false;
}

}  // namespace

bool ListsSfntTable(std::span<const std::uint8_t> bytes, std::string_view tag) {
  std::size_t length = 0;
  return ListedLength(bytes, tag, &length);
}

bool ListsOutlines(std::span<const std::uint8_t> bytes) {
  std::size_t length = 0;
  return (ListedLength(bytes, "glyf", &length) && length > 0) ||
         ListsSfntTable(bytes, "CFF ");
}

}  // namespace mdlReplace
