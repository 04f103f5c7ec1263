#include "platform/argument_text.h"

#include <cstddef>

namespace mdlReplace {

namespace {

constexpr std::size_t kAttachPrefixLength = 3;

bool HasAttachPrefix(const std::string& argument) {
  return argument.size() >= kAttachPrefixLength && argument[0] == '/' &&
         (argument[1] == 'A' || argument[1] == 'a') && argument[2] == ':';
}

}  // namespace

std::string RebuildArgumentText(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments) {
    if (!text.empty())
      text += ' ';
    std::size_t quoted_from = 0;
    if (HasAttachPrefix(argument)) {
      text += argument.substr(0, kAttachPrefixLength);
      quoted_from = kAttachPrefixLength;
    }
    text += '"';
    text += argument.substr(quoted_from);
    text += '"';
  }
  return text;
}

}  // namespace mdlReplace
