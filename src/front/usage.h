// What --help prints.
#pragma once

#include <string>

namespace mdlReplace {

std::string Usage();

}  // namespace mdlReplace
