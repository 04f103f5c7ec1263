#include "front/parser.h"

#include <utility>

#include "base/command_words.h"
#include "base/names.h"

namespace mdlReplace {

namespace {

// Two parameters are separated by double quote, blank, double quote.
constexpr std::string_view ArgumentSeparator = "\" \"";
// The attach form's prefix and the quote that opens its font's path.
constexpr std::string_view kAttachQuote = "\"";
constexpr char kQuote = '"';

ParseResult Rejected(std::string_view message) {
  ParseResult result;
  result.rejection = message;
  return result;
}

ParseResult Accepted(RunKind kind, std::string font_path,
                     std::string game_folder) {
  ParseResult result;
  result.request.kind = kind;
  result.request.font_path = std::move(font_path);
  result.request.game_folder = std::move(game_folder);
  return result;
}

// The text is UTF-8, and where a character is dropped unseen it is a whole
// character, as on Windows, never one byte of it. A byte that does not
// belong to a well-formed sequence counts as a character of its own.
bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool IsLead(char c) {
  return static_cast<unsigned char>(c) >= 0xC0;
}

std::size_t FirstCharacterSize(std::string_view text) {
  std::size_t size = 1;
  if (IsLead(text[0])) {
    while (size < text.size() && size < 4 && IsContinuation(text[size]))
      ++size;
  }
  return size;
}

std::size_t LastCharacterSize(std::string_view text) {
  const std::size_t length = text.size();
  std::size_t continuations = 0;
  while (continuations < 3 && continuations + 1 < length &&
         IsContinuation(text[length - 1 - continuations]))
    ++continuations;
  if (continuations > 0 && IsLead(text[length - 1 - continuations]))
    return continuations + 1;
  return 1;
}

// A parameter text passes when it begins or ends with a double quote; the
// other end is taken as a quote without a look, so a folder typed without its
// closing quote loses its last character. Users' command lines rely on this
// leniency, so it stays.
bool HasQuoteAtAnEnd(std::string_view text) {
  return text.front() == kQuote || text.back() == kQuote;
}

ParseResult ParseAttach(std::string_view text) {
  const std::size_t start = kAttachPrefix.size() + kAttachQuote.size();
  if (text.substr(0, kAttachPrefix.size()) != kAttachPrefix ||
      text.substr(kAttachPrefix.size(), kAttachQuote.size()) != kAttachQuote)
    return Rejected(kIncorrectParameterFormat);
  // "/A:" and a quote with nothing after it names no file at all.
  if (text.size() == start)
    return Rejected(kIncorrectParameterFormat);
  // The last character is dropped unseen, as the closing quote.
  const std::size_t end = text.size() - LastCharacterSize(text);
  std::string font_path(text.substr(start, end - start));
  return Accepted(RunKind::Attach, std::move(font_path), std::string());
}

ParseResult ParseOneParameter(std::string_view text) {
  const std::size_t first_quote = text.find(kQuote);
  if (first_quote == 3)
    return ParseAttach(text);
  if (first_quote != std::string_view::npos && first_quote > 0)
    return Rejected(kIncorrectParameterFormat);
  if (!HasQuoteAtAnEnd(text))
    return Rejected(kIncorrectParameterFormat);
  // A lone double quote has no room for a folder between its two ends.
  const std::size_t start = FirstCharacterSize(text);
  const std::size_t last = LastCharacterSize(text);
  if (start + last > text.size())
    return Rejected(kIncorrectParameterFormat);
  // The typed form ends its folder with a backslash, as its players write
  // it; the run then ends it with the platform's own separator.
  std::string folder = FolderWithSeparator(
      std::string(text.substr(start, text.size() - last - start)), '\\');
  std::string font_path = folder + std::string(kFontFileName);
  return Accepted(RunKind::GameFolder, std::move(font_path), std::move(folder));
}

ParseResult ParseTwoParameters(std::string_view text) {
  const std::size_t separator = text.find(ArgumentSeparator);
  const std::size_t length = text.size();
  if (separator == 0 || separator + ArgumentSeparator.size() == length)
    return Rejected(kIncorrectParameterFormat);
  if (!HasQuoteAtAnEnd(text))
    return Rejected(kIncorrectParameterFormat);
  // Between the first character and the separator, and between the separator
  // and the last character; both ends are dropped as quotes.
  const std::size_t font_start = FirstCharacterSize(text);
  std::string font_path(text.substr(font_start, separator - font_start));
  const std::size_t folder_start = separator + ArgumentSeparator.size();
  const std::size_t folder_end = length - LastCharacterSize(text);
  std::string folder(text.substr(folder_start, folder_end - folder_start));
  return Accepted(RunKind::FontAndGameFolder, std::move(font_path),
                  std::move(folder));
}

}  // namespace

std::size_t CountOccurrences(std::string_view text, std::string_view pattern) {
  std::size_t count = 0;
  int skip = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (skip > 0) {
      --skip;
      continue;
    }
    if (text.substr(i, pattern.size()) == pattern) {
      ++count;
      skip = 2;
    }
  }
  return count;
}

ParseResult ParseArgumentText(std::string_view text) {
  // The separator count comes first: with two or more separators nothing
  // else about the text matters, not even an attach prefix.
  const std::size_t separators = CountOccurrences(text, ArgumentSeparator);
  if (separators > 1)
    return Rejected(kTooManyParameters);
  if (text.empty()) {
    return Accepted(RunKind::Default, std::string(kDefaultFontPath),
                    std::string(kDefaultGameFolder));
  }
  if (separators == 0)
    return ParseOneParameter(text);
  return ParseTwoParameters(text);
}

}  // namespace mdlReplace
