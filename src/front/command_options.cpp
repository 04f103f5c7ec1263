#include "front/command_options.h"

#include <algorithm>

#include "base/command_words.h"
#include "fonts/code_pages.h"
#include "fonts/codecs.h"

namespace mdlReplace {

namespace {

// Code pages have numbers of 16 bits.
constexpr int kLargestCodePage = 65535;
// A block is at most every code in one row.
constexpr std::size_t kWidestBlock = kGlyphCount;

constexpr ToolForm kTools[] = {
    {"--show", 1, 1, "one file", "zyr2font --show [--codepage N] SOURCE", {}},
    {"--convert",
     2,
     2,
     "two files",
     "zyr2font --convert [--codepage N] SOURCE DEST [--codes CODES --width W]",
     {kCodesOption, kWidthOption}},
    {"--merge",
     3,
     3,
     "three files",
     "zyr2font --merge [--codepage N] BASE OTHER DEST [--codes CODES "
     "[--width W]]",
     {kCodesOption, kWidthOption}},
    {"--check",
     2,
     0,
     "a font and one or more texts",
     "zyr2font --check [--codepage N] [--all] FONT TEXT...",
     {kAllOption}},
};

// One code, 0x00 to 0xFF, in hexadecimal after 0x or in decimal.
bool ParseCode(const std::string& text, std::size_t* code) {
  const bool hex = text.size() > 2 && text.compare(0, 2, "0x") == 0;
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 3 ||
      digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") !=
          std::string::npos)
    return false;
  *code = std::stoul(digits, nullptr, hex ? 16 : 10);
  return *code < kGlyphCount;
}

// "--codes takes codes from 0x00 to 0xFF and ranges of them, as
// 0x80-0xAF,0xE0, not "TEXT"."
std::string MalformedCodes(const std::string& text) {
  const std::string given = text.empty() ? "" : ", not \"" + text + "\"";
  return "--codes takes codes from 0x00 to 0xFF and ranges of them, as "
         "0x80-0xAF,0xE0" +
         given + ".";
}

// "--codepage takes the number of a code page, not "TEXT": 437, ..."
std::string UnknownCodePage(const std::string& text) {
  const std::string given = text.empty() ? "" : ", not \"" + text + "\"";
  return "--codepage takes the number of a code page" + given + ": " +
         CodePageNumbers() + ".";
}

// The code page a number names, written in decimal digits alone: one the
// program has a table of, or else only its number, by which a code page
// font file's font is still taken. False for any other text.
bool ParseCodePage(const std::string& text, CodePageUse* use) {
  if (text.empty() || text.size() > 5 ||
      text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  const int number = std::stoi(text);
  if (number == 0 || number > kLargestCodePage)
    return false;
  use->named = FindCodePage(number);
  use->named_without_table = use->named == nullptr ? number : 0;
  return true;
}

// "--width takes the number of glyphs across a block, from 1 to 256, not
// "TEXT"."
std::string MalformedWidth(const std::string& text) {
  const std::string given = text.empty() ? "" : ", not \"" + text + "\"";
  return "--width takes the number of glyphs across a block, from 1 to " +
         std::to_string(kWidestBlock) + given + ".";
}

bool ParseWidth(const std::string& text, std::size_t* width) {
  if (text.empty() || text.size() > 3 ||
      text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  *width = std::stoul(text);
  return *width >= 1 && *width <= kWidestBlock;
}

// "0x80-0xAF,0xE0": codes and ranges of them, parted by commas, into the
// set and, in the order given, the list.
bool ParseCodes(const std::string& text, CodeSet* codes,
                std::vector<std::size_t>* list) {
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string item = text.substr(start, comma - start);
    const std::size_t dash = item.find('-');
    std::size_t first = 0;
    std::size_t last = 0;
    if (!ParseCode(item.substr(0, dash), &first) ||
        !ParseCode(dash == std::string::npos ? item.substr(0, dash)
                                             : item.substr(dash + 1),
                   &last) ||
        last < first)
      return false;
    for (std::size_t code = first; code <= last; ++code) {
      codes->set(code);
      list->push_back(code);
    }
    start = comma + 1;
  }
  return true;
}

std::string GivenTwice(std::string_view option, const ToolForm& tool) {
  return std::string(option) + " is given twice: " + std::string(tool.form);
}

bool HasOption(const ToolForm& tool, std::string_view word) {
  return std::find(tool.own_options.begin(), tool.own_options.end(), word) !=
         tool.own_options.end();
}

// "--convert and --merge": the tools whose option the word is.
std::string Owners(const std::string& word) {
  std::vector<std::string_view> owners;
  for (const ToolForm& other : kTools) {
    if (!word.empty() && HasOption(other, word))
      owners.push_back(other.command);
  }
  std::string named;
  for (std::size_t i = 0; i < owners.size(); ++i) {
    if (i > 0)
      named += i + 1 == owners.size() ? " and " : ", ";
    named += owners[i];
  }
  return named;
}

// An option of another tool is named as one; any other word as no option,
// for it may have been meant as a file.
std::string NotAnOption(const std::string& word, const ToolForm& tool) {
  const std::string owners = Owners(word);
  const std::string command(tool.command);
  const std::string what =
      !owners.empty() ? " is an option of " + owners + ", not of " + command
                      : " is not an option of " + command +
                            " (a file named so is given as ./" + word + ")";
  return word + what + ": " + std::string(tool.form);
}

// The first code the list gives twice; false for none.
bool CodeGivenTwice(const std::vector<std::size_t>& list, std::size_t* code) {
  CodeSet seen;
  for (std::size_t each : list) {
    if (seen[each]) {
      *code = each;
      return true;
    }
    seen.set(each);
  }
  return false;
}

// --width makes the codes a block's, in reading order; --convert writes a
// block alone, never the codes of a whole font.
std::string BlockProblem(const ToolForm& tool, const ToolOptions& options) {
  const std::string form(tool.form);
  if (options.width_given && !options.codes_given)
    return "--width needs --codes, the block's codes in reading order: " + form;
  if (!options.width_given && options.codes_given &&
      tool.command == "--convert")
    return "--convert writes the glyphs of --codes as a block, and needs "
           "--width, the glyphs across its picture: " +
           form;
  if (!options.width_given)
    return std::string();
  std::size_t twice = 0;
  if (CodeGivenTwice(options.code_list, &twice))
    return "--codes gives 0x" + HexByte(twice) +
           " twice, but each code of a block has one place in its picture.";
  if (options.width > options.code_list.size())
    return "--width " + std::to_string(options.width) +
           " is more glyphs across than the " +
           std::to_string(options.code_list.size()) + " codes of --codes.";
  return std::string();
}

// The value an option takes, the word after it; its message when it is
// none.
std::string TakeValue(std::string_view option, const std::string& value,
                      ToolOptions* options) {
  if (option == kCodePageOption)
    return ParseCodePage(value, &options->code_pages) ? std::string()
                                                      : UnknownCodePage(value);
  if (option == kWidthOption)
    return ParseWidth(value, &options->width) ? std::string()
                                              : MalformedWidth(value);
  return ParseCodes(value, &options->codes, &options->code_list)
             ? std::string()
             : MalformedCodes(value);
}

}  // namespace

const ToolForm* FindTool(std::string_view command) {
  for (const ToolForm& tool : kTools) {
    if (tool.command == command)
      return &tool;
  }
  return nullptr;
}

std::string WrongFiles(const ToolForm& tool, const ToolOptions& options) {
  const std::size_t count = options.files.size();
  if (count >= tool.least_files &&
      (tool.most_files == 0 || count <= tool.most_files))
    return std::string();
  return std::string(tool.command) + " takes " + std::string(tool.files) +
         ": " + std::string(tool.form);
}

std::string TakeOptions(const ToolForm& tool,
                        std::span<const std::string> words,
                        ToolOptions* options) {
  bool code_page_given = false;
  for (std::size_t at = 0; at < words.size(); ++at) {
    const std::string& word = words[at];
    if (word.compare(0, kCommandPrefix.size(), kCommandPrefix) != 0) {
      options->files.push_back(word);
      continue;
    }
    if (word != kCodePageOption && !HasOption(tool, word))
      return NotAnOption(word, tool);
    bool& given = word == kCodePageOption ? code_page_given
                  : word == kAllOption    ? options->all
                  : word == kWidthOption  ? options->width_given
                                          : options->codes_given;
    if (given)
      return GivenTwice(word, tool);
    given = true;
    if (word == kAllOption)
      continue;
    const std::string value = at + 1 < words.size() ? words[++at] : "";
    std::string problem = TakeValue(word, value, options);
    if (!problem.empty())
      return problem;
  }
  return BlockProblem(tool, *options);
}

}  // namespace mdlReplace
