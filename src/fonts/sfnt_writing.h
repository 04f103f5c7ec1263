// Writing an sfnt file (TrueType, OpenType): numbers big-endian, as every
// table holds them, and the tables gathered behind their directory with
// the checksums that readers check.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "fonts/formats.h"

namespace mdlReplace {

void PutU8(Bytes* bytes, std::uint32_t value);
// The value's low 16 bits: a negative value goes in as its two's
// complement.
void PutU16(Bytes* bytes, int value);
void PutU32(Bytes* bytes, std::uint32_t value);

// The largest power of two not over the count of entries, and its
// logarithm, by which a reader searches a directory or a cmap's segments.
void SearchFields(std::size_t count, std::size_t* power, int* log);

struct TableToWrite {
  std::string_view tag;  // four letters
  Bytes bytes;
};

// The sum of the table's bytes as 32-bit numbers, the last one padded with
// zeros, as the directory and head's adjustment count them.
std::uint32_t SfntChecksum(std::span<const std::uint8_t> bytes);

// The whole file: its version, the directory of the tables in the order
// of their tags, and each table on a 4-byte boundary; head's
// checkSumAdjustment makes the whole file's checksum the one it must be.
Bytes AssembleSfnt(std::uint32_t version, std::vector<TableToWrite> tables);

}  // namespace mdlReplace
