// The font tools' words: each tool's form, and its options (--codepage N,
// --check's --all, --merge's and --convert's --codes CODES and --width W)
// taken wherever they stand among its arguments, so that only its files
// are left.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fonts/formats.h"
#include "fonts/glyph_edits.h"

namespace mdlReplace {

constexpr std::string_view kCodePageOption = "--codepage";
constexpr std::string_view kCodesOption = "--codes";
constexpr std::string_view kAllOption = "--all";
constexpr std::string_view kWidthOption = "--width";

// A font tool: its name, how many files it takes (at most 0: any number)
// and how its messages say so, its form, and the options it has beside
// --codepage (empty ones for none).
struct ToolForm {
  std::string_view command;
  std::size_t least_files;
  std::size_t most_files;
  std::string_view files;
  std::string_view form;
  std::array<std::string_view, 2> own_options;
};

// What the user gave a tool: its options, and its other words, the files,
// in the order given. The codes are a set, and also a list in the order
// given (each range from its first to its last), which a block of glyphs
// takes as its reading order when --width is given.
struct ToolOptions {
  CodePageUse code_pages;
  bool all = false;
  bool codes_given = false;
  CodeSet codes;
  std::vector<std::size_t> code_list;
  bool width_given = false;
  std::size_t width = 0;
  std::vector<std::string> files;
};

// The tool a command names; null for any other text.
const ToolForm* FindTool(std::string_view command);

// "--show takes one file: zyr2font --show [--codepage N] SOURCE" where
// the options leave another number of files; empty where they fit.
std::string WrongFiles(const ToolForm& tool, const ToolOptions& options);

// Takes the options out of the words after the tool's name, and returns
// the message that refuses them, or an empty one. Every word that begins
// with "--" is an option: a file named so is written ./--name. --width
// needs --codes, and makes them a block: no code twice, no more glyphs
// across than codes; --convert's --codes need --width.
std::string TakeOptions(const ToolForm& tool,
                        std::span<const std::string> words,
                        ToolOptions* options);

}  // namespace mdlReplace
