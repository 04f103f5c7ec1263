// The words that begin a command line's own forms, said once for the
// command line's reading, its rebuilding from split arguments, and the
// command lines the messages offer to paste.
#pragma once

#include <string_view>

namespace mdlReplace {

// Begins one of the program's own commands ("--check"), on every platform.
constexpr std::string_view kCommandPrefix = "--";

// Begins the attach form, before the font's quoted path: /A:"my.fnt".
constexpr std::string_view kAttachPrefix = "/A:";

}  // namespace mdlReplace
