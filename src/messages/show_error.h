// The one way the program speaks to its user.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace mdlReplace {

constexpr std::string_view ErrorCaption = "ZYR 2 Font Replacer";

// Shows the message under the program's caption. Lines are separated by
// carriage return and line feed.
void ShowError(User& user, std::string_view message);

// Shows the message under the caption as information, not as an error.
void ShowNotice(User& user, std::string_view message);

}  // namespace mdlReplace
