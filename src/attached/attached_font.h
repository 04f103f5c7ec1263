// A font carried at the end of the program's own executable file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "patcher/patcher.h"
#include "platform/platform.h"

namespace mdlReplace {

// Eight bytes that open a font block; they are compared as one sequence and
// mean nothing one by one.
constexpr std::array<std::uint8_t, 8> FontBlockMarker = {
    0x03, 0x53, 0x46, 0x58, 0x08, 0x08, 0x00, 0x08};
// The marker, then the font: the last bytes of an executable that carries
// a font.
constexpr std::uint64_t kFontBlockSize = FontBlockMarker.size() + kFontSize;

constexpr std::string_view kNoAttachedFont =
    "The program's executable file doesn't contain the font";
constexpr std::string_view kAttachFailed =
    "The font could not be attached to the program's executable file.";

// Appends a block with the first 2048 bytes of the font file to the program's
// executable. The executable is rewritten whole beside itself and put in
// place in one step, so that a failure leaves it as it was. Shows a message
// and returns false on any failure; shows nothing on success.
bool AttachFont(Platform& platform, const std::string& font_path);

// Reads the font of the last block of the program's executable; shows a
// message and returns false when there is none.
bool ReadAttachedFont(Platform& platform, FontImage* font);

}  // namespace mdlReplace
