// The exports every call shares: memory for the page to hand bytes in,
// the files a call takes, and the answer it gives back, read and freed.
#include "answer.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "attached/font_block.h"
#include "check/coverage.h"

using mdlReplace::MemoryPlatform;
using mdlReplace::web::Answer;
using mdlReplace::web::Input;
using mdlReplace::web::Text;

namespace {

// A file of `length` bytes, of which the page hands in the last `held`:
// the room the page writes them into, or null when more is held than the
// call takes.
std::uint8_t* AddFile(Input* input, std::string name, double length,
                      std::size_t held, std::size_t largest) {
  if (held > largest)
    return nullptr;
  MemoryPlatform::File file;
  file.bytes.reserve(1);
  file.bytes.resize(held);
  if (length > static_cast<double>(held))
    file.bytes_at =
        static_cast<std::uint64_t>(length - static_cast<double>(held));
  input->files.emplace_back(std::move(name), std::move(file));
  return input->files.back().second.bytes.data();
}

}  // namespace

extern "C" __attribute__((export_name("zyr2_alloc"))) void* Alloc(
    std::size_t size) {
  return std::malloc(size == 0 ? 1 : size);
}

extern "C" __attribute__((export_name("zyr2_free"))) void Free(void* pointer) {
  std::free(pointer);
}

extern "C" __attribute__((export_name("zyr2_largest_source"))) std::size_t
LargestSource() {
  return mdlReplace::kLargestFontFile;
}

extern "C" __attribute__((export_name("zyr2_tail_length"))) std::size_t
TailLength() {
  return mdlReplace::kFontBlockSize;
}

extern "C" __attribute__((export_name("zyr2_largest_text"))) std::size_t
LargestText() {
  return static_cast<std::size_t>(mdlReplace::kLargestText);
}

// --- Files in ---------------------------------------------------------------

extern "C" __attribute__((export_name("zyr2_input"))) Input* NewInput() {
  return new Input;
}

// Frees an input no call took.
extern "C" __attribute__((export_name("zyr2_input_free"))) void FreeInput(
    Input* input) {
  delete input;
}

// Adds a file of `length` bytes, of which the page hands in the last
// `held`, and gives the room the page writes them into. Null when more is
// held than any font file the core reads.
extern "C" __attribute__((export_name("zyr2_input_add"))) std::uint8_t*
AddInput(Input* input, const char* name, std::size_t name_length, double length,
         std::size_t held) {
  return AddFile(input, Text(name, name_length), length, held,
                 mdlReplace::kLargestFontFile);
}

// Adds a translation's text, as zyr2_input_add does a font file: whole, or
// none of it when it is longer than any text may be, for the check to
// refuse it unread.
extern "C" __attribute__((export_name("zyr2_input_add_text"))) std::uint8_t*
AddText(Input* input, const char* name, std::size_t name_length, double length,
        std::size_t held) {
  return AddFile(input, Text(name, name_length), length, held,
                 static_cast<std::size_t>(mdlReplace::kLargestText));
}

// --- Answers out ------------------------------------------------------------

extern "C" __attribute__((export_name("zyr2_answer_free"))) void FreeAnswer(
    Answer* answer) {
  delete answer;
}

extern "C" __attribute__((export_name("zyr2_answer_done"))) int AnswerDone(
    const Answer* answer) {
  return answer->done;
}

extern "C" __attribute__((export_name("zyr2_answer_figure"))) int AnswerFigure(
    const Answer* answer) {
  return answer->figure;
}

extern "C" __attribute__((export_name("zyr2_answer_text"))) const char*
AnswerText(const Answer* answer) {
  return answer->text.data();
}

extern "C" __attribute__((export_name("zyr2_answer_text_length"))) std::size_t
AnswerTextLength(const Answer* answer) {
  return answer->text.size();
}

extern "C" __attribute__((export_name("zyr2_answer_own_code_page"))) int
AnswerOwnCodePage(const Answer* answer) {
  return answer->own_code_page;
}

extern "C" __attribute__((export_name("zyr2_answer_checked_in"))) const char*
AnswerCheckedIn(const Answer* answer) {
  return answer->checked_in.data();
}

extern "C" __attribute__((export_name("zyr2_answer_checked_in_length")))
std::size_t
AnswerCheckedInLength(const Answer* answer) {
  return answer->checked_in.size();
}

extern "C" __attribute__((export_name("zyr2_answer_bytes"))) const std::uint8_t*
AnswerBytes(const Answer* answer) {
  return answer->bytes.data();
}

extern "C" __attribute__((export_name("zyr2_answer_bytes_length"))) std::size_t
AnswerBytesLength(const Answer* answer) {
  return answer->bytes.size();
}

extern "C" __attribute__((export_name("zyr2_answer_files"))) std::size_t
AnswerFiles(const Answer* answer) {
  return answer->files.size();
}

extern "C" __attribute__((export_name("zyr2_answer_file_outcome"))) int
AnswerFileOutcome(const Answer* answer, std::size_t index) {
  return answer->files.at(index).outcome;
}

extern "C" __attribute__((export_name("zyr2_answer_file_offset"))) double
AnswerFileOffset(const Answer* answer, std::size_t index) {
  return answer->files.at(index).offset;
}

extern "C" __attribute__((export_name("zyr2_answer_file_bytes")))
const std::uint8_t*
AnswerFileBytes(const Answer* answer, std::size_t index) {
  return answer->files.at(index).bytes.data();
}

extern "C" __attribute__((export_name("zyr2_answer_file_bytes_length")))
std::size_t
AnswerFileBytesLength(const Answer* answer, std::size_t index) {
  return answer->files.at(index).bytes.size();
}
