#include "fonts/sfnt_writing.h"

#include <utility>

namespace mdlReplace {

namespace {

constexpr std::size_t kDirectoryHeader = 12;
constexpr std::size_t kDirectoryEntry = 16;
// Where head holds its adjustment, and what the file's checksum is made.
constexpr std::size_t kAdjustmentAt = 8;
constexpr std::uint32_t kFileChecksum = 0xB1B0AFBA;

void PutNumber(Bytes* bytes, std::uint64_t value, int width) {
  for (int shift = (width - 1) * 8; shift >= 0; shift -= 8)
    bytes->push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutAt(Bytes* bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    (*bytes)[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

}  // namespace

void SearchFields(std::size_t count, std::size_t* power, int* log) {
  *power = 1;
  *log = 0;
  while (*power * 2 <= count) {
    *power *= 2;
    ++*log;
  }
}

void PutU8(Bytes* bytes, std::uint32_t value) {
  PutNumber(bytes, value, 1);
}

void PutU16(Bytes* bytes, int value) {
  PutNumber(bytes, static_cast<std::uint32_t>(value), 2);
}

void PutU32(Bytes* bytes, std::uint32_t value) {
  PutNumber(bytes, value, 4);
}

void PutBytes(Bytes* bytes, std::span<const std::uint8_t> more) {
  bytes->insert(bytes->end(), more.data(), more.data() + more.size());
}

std::uint32_t SfntChecksum(std::span<const std::uint8_t> bytes) {
  std::uint32_t sum = 0;
  for (std::size_t at = 0; at < bytes.size(); at += 4) {
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < 4; ++i)
      word = word << 8 | (at + i < bytes.size() ? bytes[at + i] : 0);
    sum += word;
  }
  return sum;
}

void SfntFile::Add(std::string_view tag, Bytes table) {
  if (count_ == kMostTables)
    return;
  tables_[count_] = Table{tag, std::move(table)};
  // Put in its place among those before it: a dozen tables need no more.
  for (std::size_t i = count_; i > 0 && tables_[i].tag < tables_[i - 1].tag;
       --i)
    std::swap(tables_[i], tables_[i - 1]);
  ++count_;
}

Bytes SfntFile::Assemble(std::uint32_t version) {
  const std::span<const Table> tables(tables_.data(), count_);
  std::size_t power = 0;
  int log = 0;
  SearchFields(tables.size(), &power, &log);
  Bytes file;
  PutU32(&file, version);
  PutU16(&file, static_cast<int>(tables.size()));
  PutU16(&file, static_cast<int>(power * kDirectoryEntry));
  PutU16(&file, log);
  PutU16(&file, static_cast<int>((tables.size() - power) * kDirectoryEntry));
  std::size_t offset = kDirectoryHeader + tables.size() * kDirectoryEntry;
  std::size_t head_at = 0;
  for (const Table& table : tables) {
    for (char letter : table.tag)
      PutU8(&file, static_cast<std::uint8_t>(letter));
    PutU32(&file, SfntChecksum(table.bytes));
    PutU32(&file, static_cast<std::uint32_t>(offset));
    PutU32(&file, static_cast<std::uint32_t>(table.bytes.size()));
    if (table.tag == "head")
      head_at = offset;
    offset += (table.bytes.size() + 3) / 4 * 4;
  }
  for (const Table& table : tables) {
    PutBytes(&file, table.bytes);
    file.resize((file.size() + 3) / 4 * 4);
  }
  if (head_at != 0)
    PutAt(&file, head_at + kAdjustmentAt, kFileChecksum - SfntChecksum(file));
  return file;
}

}  // namespace mdlReplace
