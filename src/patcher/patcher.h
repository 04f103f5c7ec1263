// Writes a font into the game's files, in place.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "fonts/font.h"
#include "platform/platform.h"

namespace mdlReplace {

// A version of a game file, told apart from the others only by its exact
// length, and where in it the font lies.
struct KnownVersion {
  std::uint64_t length;
  std::uint64_t font_offset;
};

struct TargetFile {
  std::string_view name;
  std::string_view size_label;  // opens the message for an unknown length
  std::span<const KnownVersion> versions;
};

// The game file of this name, compared ignoring ASCII case; nullptr for
// any other name.
const TargetFile* FindTargetFile(std::string_view file_name);

// The version a file of this length is, or nullptr for an unknown length.
const KnownVersion* FindVersion(const TargetFile& target, std::uint64_t length);

// "ZYR2.DOS File size: 1000000", a line break and a hint: what a target of
// an unknown length gets.
std::string SizeMessage(const TargetFile& target, std::uint64_t length);
// The same, opened by another label: "game/zyr2.dos File size:" for a game
// file named as typed.
std::string SizeMessage(std::string_view label, std::uint64_t length);
constexpr std::string_view kSizeLabelEnd = " File size:";

// Whether any target is in the folder, which ends with a backslash, as
// patching it would find one.
bool HoldsGameFile(Files& files, const std::string& game_folder);

// Patches every target found in the folder, which ends with a backslash.
// Each target either takes the whole font or keeps its bytes, unless a
// message says it may now be damaged. Returns true when at least one was
// patched; otherwise it has shown the summary message and the run is over.
bool PatchGameFolder(Files& files, User& user, const std::string& game_folder,
                     const FontImage& font);

}  // namespace mdlReplace
