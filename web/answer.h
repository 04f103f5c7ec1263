// What the page's core takes and gives back: the files a call takes, and
// its answer, which the page reads through the exports of answer.cpp and
// frees.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "fonts/formats.h"
#include "memory_platform.h"

namespace mdlReplace::web {

// The files a call takes, by the names the page gives them: each whole,
// or, of one longer than any font file the core reads, by its end alone;
// of a text longer than any the check reads, nothing.
struct Input {
  std::vector<std::pair<std::string, MemoryPlatform::File>> files;
};

// What became of a game file handed in to be patched.
enum Outcome { kNotPatched = 0, kPatched = 1, kHeldTheFont = 2 };

struct FileAnswer {
  int outcome = kNotPatched;
  double offset = 0;  // where the font was written
  Bytes bytes;        // the file as patched: what the page writes
};

// What a call gives back: done or not, a figure of its own (the code page
// that placed a font read, the glyphs taken), what the core said, a
// message a line, and the bytes it made.
struct Answer {
  int done = 0;
  int figure = 0;
  std::string text;
  Bytes bytes;
  std::vector<FileAnswer> files;
  // Of a font read as --check reads it, with no code page named: the code
  // page it tells it is made for (0: none), and the sentence that says
  // which code page its texts are checked in and why ("Checked in code
  // page 737, the font's own.").
  int own_code_page = 0;
  std::string checked_in;
};

inline std::string Text(const char* text, std::size_t length) {
  return std::string(text, length);
}

}  // namespace mdlReplace::web
