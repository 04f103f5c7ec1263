#include "front/command_options.h"

#include <algorithm>

#include "fonts/code_pages.h"

namespace mdlReplace {

namespace {

// Code pages have numbers of 16 bits.
constexpr int kLargestCodePage = 65535;

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

}  // namespace

std::string MalformedCodes(const std::string& text) {
  const std::string given = text.empty() ? "" : ", not \"" + text + "\"";
  return "--codes takes codes from 0x00 to 0xFF and ranges of them, as "
         "0x80-0xAF,0xE0" +
         given + ".";
}

std::string UnknownCodePage(const std::string& text) {
  const std::string given = text.empty() ? "" : ", not \"" + text + "\"";
  return "--codepage takes the number of a code page" + given + ": " +
         CodePageNumbers() + ".";
}

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

bool TakeOption(std::vector<std::string>* files, std::string_view option) {
  if (files->empty() || files->front() != option)
    return false;
  files->erase(files->begin());
  return true;
}

}  // namespace mdlReplace
