#include "platform/argument_text.h"

#include <cstddef>
#include <string_view>

#include "base/command_words.h"
#include "base/names.h"

namespace mdlReplace {

namespace {

// "/a:" is kept outside the quotes too, for the parser to refuse as typed.
bool HasAttachPrefix(const std::string& argument) {
  return argument.size() >= kAttachPrefix.size() &&
         EqualIgnoringAsciiCase(
             std::string_view(argument).substr(0, kAttachPrefix.size()),
             kAttachPrefix);
}

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}

}  // namespace

std::string RebuildArgumentText(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments) {
    if (text.empty() && argument.starts_with(kCommandPrefix)) {
      text = argument;
      continue;
    }
    if (!text.empty())
      text += ' ';
    std::size_t quoted_from = 0;
    if (HasAttachPrefix(argument)) {
      text += argument.substr(0, kAttachPrefix.size());
      quoted_from = kAttachPrefix.size();
    }
    text += '"';
    text += argument.substr(quoted_from);
    text += '"';
  }
  return text;
}

std::wstring SkipProgramName(std::wstring_view command_line) {
  std::size_t i = 0;
  if (!command_line.empty() && command_line[0] == L'"') {
    const std::size_t closing = command_line.find(L'"', 1);
    i = closing == std::wstring_view::npos ? command_line.size() : closing + 1;
  } else {
    while (i < command_line.size() && !IsBlank(command_line[i]))
      ++i;
  }
  while (i < command_line.size() && IsBlank(command_line[i]))
    ++i;
  return std::wstring(command_line.substr(i));
}

}  // namespace mdlReplace
