#include "front/command_options.h"

#include <algorithm>

#include "base/command_words.h"
#include "fonts/code_pages.h"

namespace mdlReplace {

namespace {

// Code pages have numbers of 16 bits.
constexpr int kLargestCodePage = 65535;

constexpr ToolForm kTools[] = {
    {"--show", 1, 1, "one file", "zyr2font --show [--codepage N] SOURCE", ""},
    {"--convert", 2, 2, "two files",
     "zyr2font --convert [--codepage N] SOURCE DEST", ""},
    {"--merge", 3, 3, "three files",
     "zyr2font --merge [--codepage N] BASE OTHER DEST [--codes CODES]",
     kCodesOption},
    {"--check", 2, 0, "a font and one or more texts",
     "zyr2font --check [--codepage N] [--all] FONT TEXT...", kAllOption},
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

// "0x80-0xAF,0xE0": codes and ranges of them, parted by commas.
bool ParseCodes(const std::string& text, CodeSet* codes) {
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
    for (std::size_t code = first; code <= last; ++code)
      codes->set(code);
    start = comma + 1;
  }
  return true;
}

std::string GivenTwice(std::string_view option, const ToolForm& tool) {
  return std::string(option) + " is given twice: " + std::string(tool.form);
}

// An option of another tool is named as one; any other word as no option,
// for it may have been meant as a file.
std::string NotAnOption(const std::string& word, const ToolForm& tool) {
  const auto owner = std::find_if(
      std::begin(kTools), std::end(kTools), [&word](const ToolForm& other) {
        return !other.own_option.empty() && other.own_option == word;
      });
  const std::string command(tool.command);
  const std::string what =
      owner != std::end(kTools)
          ? " is an option of " + std::string(owner->command) + ", not of " +
                command
          : " is not an option of " + command +
                " (a file named so is given as ./" + word + ")";
  return word + what + ": " + std::string(tool.form);
}

// The value an option takes, the word after it; its message when it is
// none.
std::string TakeValue(std::string_view option, const std::string& value,
                      ToolOptions* options) {
  if (option == kCodePageOption)
    return ParseCodePage(value, &options->code_pages) ? std::string()
                                                      : UnknownCodePage(value);
  return ParseCodes(value, &options->codes) ? std::string()
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
    if (word != kCodePageOption && word != tool.own_option)
      return NotAnOption(word, tool);
    bool& given = word == kCodePageOption ? code_page_given
                  : word == kAllOption    ? options->all
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
  return std::string();
}

}  // namespace mdlReplace
