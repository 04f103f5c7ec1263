#include "attached/program_file.h"

#include "base/byte_reader.h"
#include "game/game_files.h"
#include "messages/show_error.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kGiveTheProgram =
    " Give a copy of zyr2font.exe (or zyr2font) to carry the font.";
constexpr std::string_view kIsGameFile =
    " is one of the game's files, not this program: the game takes the "
    "font when its files are patched.";
constexpr std::string_view kHasGameLength = " is as long as the game's ";
constexpr std::string_view kIsGameFileByLength =
    ": it is one of the game's files, not this program.";
constexpr std::string_view kNotThisProgram = " is not a build of this program.";

constexpr std::string_view kElfMagic =
    "\x7F"
    "ELF";
constexpr std::string_view kDosMagic = "MZ";
constexpr std::string_view kPeMagic{"PE\0\0", 4};
// Where a Windows program's DOS header keeps the offset of its PE header.
constexpr std::uint64_t kPeHeaderOffsetAt = 0x3C;

std::string_view Text(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The game files a file of this length could be, " or " between them;
// empty when it is none of them.
std::string GameFilesOfLength(std::uint64_t length) {
  std::string names;
  for (const TargetFile& target : GameFiles()) {
    if (FindVersion(target, length) == nullptr)
      continue;
    names += names.empty() ? "" : " or ";
    names += target.name;
  }
  return names;
}

// Two bytes at the start say only what kind of file it is; the caption,
// which every build shows its messages under, says whose.
bool CarriesCaption(std::span<const std::uint8_t> bytes) {
  return Text(bytes).find(ErrorCaption) != std::string_view::npos;
}

}  // namespace

bool IsProgramImage(std::span<const std::uint8_t> bytes) {
  if (Text(bytes).starts_with(kElfMagic))
    return true;
  if (!Text(bytes).starts_with(kDosMagic))
    return false;
  ByteReader reader(bytes);
  reader.Seek(kPeHeaderOffsetAt);
  reader.Seek(reader.U32());
  const std::span<const std::uint8_t> magic = reader.Take(kPeMagic.size());
  return reader.ok() && Text(magic) == kPeMagic;
}

std::string WhyNotThisProgram(std::string_view file_name,
                              std::span<const std::uint8_t> bytes) {
  std::string why(file_name);
  if (FindTargetFile(file_name) != nullptr)
    return why + std::string(kIsGameFile) + std::string(kGiveTheProgram);
  const std::string game_files = GameFilesOfLength(bytes.size());
  if (!game_files.empty())
    return why + std::string(kHasGameLength) + game_files + " (" +
           std::to_string(bytes.size()) + " bytes)" +
           std::string(kIsGameFileByLength) + std::string(kGiveTheProgram);
  if (!IsProgramImage(bytes) || !CarriesCaption(bytes))
    return why + std::string(kNotThisProgram) + std::string(kGiveTheProgram);
  return std::string();
}

}  // namespace mdlReplace
