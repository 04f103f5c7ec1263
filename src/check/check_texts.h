// The whole check of texts held in memory, as the page holds its files:
// read as the program reads them, for the same answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "check/coverage.h"
#include "fonts/code_pages.h"
#include "fonts/font.h"

namespace mdlReplace {

// A text file as the page holds it: its name and all its bytes.
struct TextFile {
  std::string name;
  std::span<const std::uint8_t> bytes;
};

// The first places the tally of the texts did not keep, found by reading
// them again from the first file that has one (its UnkeptFrom).
void PlaceTheRest(std::span<const TextFile> texts, std::size_t from,
                  Coverage* coverage);

struct CheckResult {
  std::string problem;  // why a file cannot be checked; empty when none
  Coverage coverage;
};

// The whole check over texts held in memory: the same answer the program
// gives for the same files.
CheckResult CheckTexts(const FontImage& font, const CodePage& code_page,
                       std::span<const TextFile> texts);

}  // namespace mdlReplace
