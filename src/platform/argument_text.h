// Ways of obtaining the command-line text the parser reads, where the
// platform does not hand it over as it was typed.
#pragma once

#include <string>
#include <vector>

namespace mdlReplace {

// Rebuilds the text from arguments a shell has already split: each argument
// in double quotes, joined by one blank. An argument that begins with "/A:"
// or "/a:" keeps those three characters outside its quotes, so that the
// attach form reads as typed on Windows (and "/a:" is refused there alike).
std::string RebuildArgumentText(const std::vector<std::string>& arguments);

}  // namespace mdlReplace
