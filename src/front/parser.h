// Turns the command-line text into what the user asked for.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mdlReplace {

constexpr std::string_view kTooManyParameters = "Too many parameters";
constexpr std::string_view kIncorrectParameterFormat =
    "Incorrect parameter format";

// Font path and game folder of a run without arguments.
constexpr std::string_view kDefaultFontPath = ".\\ZYR2.FNT";
constexpr std::string_view kDefaultGameFolder = ".\\";
// The font a one-parameter run looks for inside the game folder.
constexpr std::string_view kFontFileName = "ZYR2.FNT";

enum class RunKind { Default, GameFolder, FontAndGameFolder, Attach };

struct RunRequest {
  RunKind kind = RunKind::Default;
  std::string font_path;
  std::string game_folder;  // empty for Attach
};

// Either a request or, when rejection is not empty, the message to show.
struct ParseResult {
  RunRequest request;
  std::string_view rejection;
};

// Counts the pattern in the text, scanning on two characters past each match
// whatever the pattern's length (so "\" \" \"" holds one separator, not two).
std::size_t CountOccurrences(std::string_view text, std::string_view pattern);

ParseResult ParseArgumentText(std::string_view text);

}  // namespace mdlReplace
