// Whether a file handed in to carry a font is a build of this program. The
// page takes whatever file is dropped on it, and a font appended to a game
// file or to another program gives back a file that looks done and is
// neither: the game keeps its font, and the program no longer knows the
// file's length.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace mdlReplace {

// Whether the bytes of a whole file are a Windows (PE) or Linux (ELF)
// program.
bool IsProgramImage(std::span<const std::uint8_t> bytes);

// Empty for a build of this program, under any name: a Windows (PE) or
// Linux (ELF) program that carries the program's caption. Otherwise the
// sentence, opened by the file's name, that says what the file is and
// what to give instead: a game file is known by its name in any case or by
// one of the game's lengths.
std::string WhyNotThisProgram(std::string_view file_name,
                              std::span<const std::uint8_t> bytes);

}  // namespace mdlReplace
