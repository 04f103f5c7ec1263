// Ways of obtaining the command-line text the parser reads, where the
// platform does not hand it over as it was typed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mdlReplace {

// Rebuilds the text from arguments a shell has already split: each argument
// in double quotes, joined by one blank. An argument that begins with "/A:"
// or "/a:" keeps those three characters outside its quotes, so that the
// attach form reads as typed on Windows (and "/a:" is refused there alike);
// a first argument that begins with "--" stays unquoted, as a command is
// typed.
std::string RebuildArgumentText(const std::vector<std::string>& arguments);

// The text after the program's own name on a whole command line, as Windows
// hands it over: the name runs from an opening double quote to the closing
// one, or else up to the first blank; the blanks after it are skipped too.
// The rest goes to the parser unsplit, double quotes and all.
std::wstring SkipProgramName(std::wstring_view command_line);

}  // namespace mdlReplace
