#include "game/game_files.h"

#include <array>

#include "base/names.h"
#include "base/text_lines.h"
#include "fonts/font.h"

namespace mdlReplace {

namespace {

constexpr std::array<KnownVersion, 3> kDosVersions = {{
    {928799, 881700},
    {945979, 899108},
    {946491, 899620},
}};

// ZYR2.EXE and BRANVEL.EXE come in the same three builds.
constexpr std::array<KnownVersion, 3> kWindowsVersions = {{
    {597504, 497968},
    {615936, 513588},
    {616448, 514100},
}};

// Tried in this order.
constexpr std::array<TargetFile, 3> kTargets = {{
    {"ZYR2.DOS", "ZYR2.DOS File size:", kDosVersions},
    {"ZYR2.EXE", "ZYR2.EXE File size:", kWindowsVersions},
    {"BRANVEL.EXE", "BRANVEL.EXE File size:", kWindowsVersions},
}};

constexpr bool FontEndsInsideFile(std::span<const KnownVersion> versions) {
  for (const KnownVersion& version : versions) {
    if (version.font_offset + kFontSize > version.length)
      return false;
  }
  return true;
}
// Writing at these offsets can therefore never make a file longer.
static_assert(FontEndsInsideFile(kDosVersions));
static_assert(FontEndsInsideFile(kWindowsVersions));

constexpr std::string_view kDifferentVersion =
    "Maybe it's a different version of the game.";

}  // namespace

std::span<const TargetFile> GameFiles() {
  return kTargets;
}

const TargetFile* FindTargetFile(std::string_view file_name) {
  for (const TargetFile& target : kTargets) {
    if (EqualIgnoringAsciiCase(target.name, file_name))
      return &target;
  }
  return nullptr;
}

const KnownVersion* FindVersion(const TargetFile& target,
                                std::uint64_t length) {
  for (const KnownVersion& version : target.versions) {
    if (version.length == length)
      return &version;
  }
  return nullptr;
}

std::string SizeMessage(const TargetFile& target, std::uint64_t length) {
  return SizeMessage(target.size_label, length);
}

std::string SizeMessage(std::string_view label, std::uint64_t length) {
  std::string message(label);
  message += ' ';
  message += std::to_string(length);
  message += kLineBreak;
  message += kDifferentVersion;
  return message;
}

}  // namespace mdlReplace
