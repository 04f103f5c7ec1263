// A font carried at the end of the program's own executable file.
#pragma once

#include <string>
#include <string_view>

#include "fonts/font.h"
#include "messages/write_refusal.h"
#include "platform/platform.h"

namespace mdlReplace {

constexpr std::string_view kNoAttachedFont =
    "The program's executable file doesn't contain the font";
constexpr std::string_view kAttachFailed =
    "The font could not be attached to the program's executable file.";

// Appends a block with the font to the program's executable at the exact
// path (the program's own, or the page's copy of it). The executable is
// rewritten whole beside itself and put in place in one step, so that a
// failure leaves it as it was. Shows a message and returns false on any
// failure, with why where the system said, and, where it denied the user
// the right, what an administrator can do (as_administrator: the command
// that attaches as one, where it is offered); shows nothing on success.
bool AttachFont(Replacer& replacer, User& user, const std::string& program,
                const FontImage& font, const AsAdministrator& as_administrator);

// Reads the font of the last block of the running program; false, showing
// nothing, when there is none.
bool FindAttachedFont(CommandLine& program, Files& files, FontImage* font);

// The same; shows a message when there is none.
bool ReadAttachedFont(CommandLine& program, Files& files, User& user,
                      FontImage* font);

}  // namespace mdlReplace
