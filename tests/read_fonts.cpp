// Reads each file named as a font, with no code page and with 866, and
// prints a line of what came of it: the problem, or the font's bytes in
// hex. Built once with the program's inflate and once with the page's, so
// that the two can be compared file by file.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "base/names.h"
#include "fonts/code_pages.h"
#include "fonts/formats.h"

namespace {

std::string Outcome(const std::string& name, const mdlReplace::Bytes& bytes,
                    int code_page) {
  mdlReplace::CodePageUse use;
  use.named = code_page == 0 ? nullptr : mdlReplace::FindCodePage(code_page);
  mdlReplace::FontImage font{};
  std::string problem = mdlReplace::ReadFont(name, bytes, &use, &font);
  if (!problem.empty())
    return problem;
  std::string hex;
  for (std::uint8_t byte : font) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", byte);
    hex += digits;
  }
  return hex;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::ifstream file(argv[i], std::ios::binary);
    const mdlReplace::Bytes bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    const std::string name(mdlReplace::FileNameOf(argv[i]));
    for (int code_page : {0, 866})
      std::printf("%s %d %s\n", argv[i], code_page,
                  Outcome(name, bytes, code_page).c_str());
  }
  return 0;
}
