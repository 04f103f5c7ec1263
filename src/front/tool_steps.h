// The steps that every one of the program's own commands takes alike:
// reading a font the user named, and printing what the user asked for.
#pragma once

#include <string>
#include <string_view>

#include "fonts/font.h"
#include "fonts/formats.h"
#include "platform/platform.h"

namespace mdlReplace {

// "NAME was not found."
std::string NotFound(const std::string& path);

// "NAME could not be read."
std::string Unreadable(const std::string& path);

// Why what was opened to be read has nothing to read, or an empty text
// where it is a file or a pipe; not_this tells of a folder or a device.
std::string WhyNotOpened(Found found, const std::string& path,
                         const std::string& not_this);

// Reads the font of the source, or shows why there is none; false then.
bool ReadSourceFont(Platform& platform, const std::string& path,
                    CodePageUse* code_pages, FontImage* font);

// Writes the bytes to the destination whole beside it and puts them in its
// place, so that an existing file is replaced whole or stays as it was;
// the exit status, a failure told.
int WriteWhole(Platform& platform, const std::string& destination,
               const Bytes& bytes);

// Prints text the user asked for, and returns the exit status: a failure
// to print is told.
int Print(Platform& platform, std::string_view text);

}  // namespace mdlReplace
