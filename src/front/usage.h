// What --help prints: the forms of the command line, and the formats of
// the table of formats.
#pragma once

#include <string>

namespace mdlReplace {

std::string Usage();

}  // namespace mdlReplace
