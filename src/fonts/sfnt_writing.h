// Writing an sfnt file (TrueType, OpenType): numbers big-endian, as every
// table holds them, and the tables gathered behind their directory with
// the checksums that readers check.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "fonts/formats.h"

namespace mdlReplace {

void PutU8(Bytes* bytes, std::uint32_t value);
// The value's low 16 bits: a negative value goes in as its two's
// complement.
void PutU16(Bytes* bytes, int value);
void PutU32(Bytes* bytes, std::uint32_t value);
void PutBytes(Bytes* bytes, std::span<const std::uint8_t> more);

// The largest power of two not over the count of entries, and its
// logarithm, by which a reader searches a directory or a cmap's segments.
void SearchFields(std::size_t count, std::size_t* power, int* log);

// The sum of the table's bytes as 32-bit numbers, the last one padded with
// zeros, as the directory and head's adjustment count them.
std::uint32_t SfntChecksum(std::span<const std::uint8_t> bytes);

// The tables of a file, added in any order, then assembled: the version,
// the directory of the tables in the order of their tags, and each table
// on a 4-byte boundary; head's checkSumAdjustment makes the whole file's
// checksum the one it must be.
class SfntFile {
 public:
  static constexpr std::size_t kMostTables = 12;

  // The tag's four letters, and the table; past the most tables, none.
  void Add(std::string_view tag, Bytes table);
  Bytes Assemble(std::uint32_t version);

 private:
  struct Table {
    std::string_view tag;
    Bytes bytes;
  };
  std::array<Table, kMostTables> tables_;
  std::size_t count_ = 0;
};

}  // namespace mdlReplace
