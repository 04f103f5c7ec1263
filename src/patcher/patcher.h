// Writes a font into the game's files, in place.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace mdlReplace {

constexpr std::size_t kFontSize = 2048;

// An 8x8 font: 256 characters of 8 bytes, copied as it is, never read.
using FontImage = std::array<std::uint8_t, kFontSize>;

// Patches every target found in the folder, which ends with a backslash.
// Returns true when at least one was patched; otherwise it has shown the
// summary message and the run is over.
bool PatchGameFolder(Platform& platform, const std::string& game_folder,
                     const FontImage& font);

}  // namespace mdlReplace
