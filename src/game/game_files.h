// The game's files the font goes into: their names, the versions each
// comes in, told apart by their exact lengths alone, and where in each the
// font lies.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

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

// The game's files, in the order they are tried.
std::span<const TargetFile> GameFiles();

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

}  // namespace mdlReplace
