// The translation check, through the program's own CheckTexts: the texts
// the page hands in are read as --check reads them, where they lie (again
// for the first places past those the tally keeps), and what the page needs
// to mark the grid comes back as a table.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "answer.h"
#include "check/check_report.h"
#include "check/check_texts.h"
#include "check/coverage.h"
#include "fonts/code_pages.h"

namespace {

using mdlReplace::CharacterUse;
using mdlReplace::Coverage;
using mdlReplace::web::Answer;
using mdlReplace::web::Input;

constexpr std::string_view kNoSuchCodePage = "There is no code page ";
// The kinds of a line of the table: a character the code page lacks, and
// one it has a code for.
constexpr std::string_view kLacking = "lacking";
constexpr std::string_view kCoded = "coded";

// A line of the table: its fields, a tab between.
std::string Line(const std::vector<std::string>& fields) {
  std::string line;
  for (const std::string& field : fields)
    line += (line.empty() ? "" : "\t") + field;
  return line + "\n";
}

std::string CharacterLine(std::string_view kind, const CharacterUse& use) {
  return Line({std::string(kind), mdlReplace::CharacterName(use.character),
               std::to_string(use.count), std::to_string(use.first.file),
               std::to_string(use.first.line), std::to_string(use.first.column),
               std::to_string(use.code)});
}

// The table: the files and the characters counted, the code page that
// lacks fewer (0: none), how many it lacks, and 1 where it is so once the
// texts are composed (NFC), else 0; the uses of each of the 256
// codes; then a line for each character, by count as the report lists
// them: its kind, its name, its count, its first place (the file's index,
// the line, the column) and its code.
std::string Table(const Coverage& coverage) {
  std::string table = Line(
      {std::to_string(coverage.files), std::to_string(coverage.characters),
       std::to_string(coverage.better != nullptr ? coverage.better->number : 0),
       std::to_string(coverage.better_lacks),
       std::to_string(coverage.better_composed ? 1 : 0)});
  std::vector<std::string> uses;
  for (const std::uint64_t count : coverage.uses_of_code)
    uses.push_back(std::to_string(count));
  table += Line(uses);
  for (const CharacterUse& use : coverage.lacking)
    table += CharacterLine(kLacking, use);
  for (const CharacterUse& use : coverage.blank)
    table += CharacterLine(kCoded, use);
  return table;
}

}  // namespace

// Checks the input's texts, in the order given, in the code page numbered,
// as --check does: not done when one cannot be checked, and the text says
// why in the program's words. A text handed in without its bytes is over
// the longest a text may be, and is refused unread where the program
// refuses it. The font checked against is blank at every code, so that
// every character the code page has comes back among the blank ones with
// its code (but space and no-break space, meant to be blank): the page
// tells which of them are blank in its own font each time that changes,
// without the texts being read again.
extern "C" __attribute__((export_name("zyr2_check"))) Answer* Check(
    Input* input, int code_page) {
  Answer* answer = new Answer;
  const mdlReplace::CodePage* table = mdlReplace::FindCodePage(code_page);
  std::vector<mdlReplace::TextFile> texts;
  const std::string* unread = nullptr;
  for (const auto& [name, file] : input->files) {
    if (file.bytes_at != 0) {
      unread = &name;
      break;
    }
    texts.push_back({name, file.bytes});
  }
  if (table == nullptr) {
    answer->text =
        std::string(kNoSuchCodePage) + std::to_string(code_page) + ".";
  } else {
    const mdlReplace::CheckResult result =
        mdlReplace::CheckTexts(mdlReplace::FontImage{}, *table, texts);
    answer->text = result.problem.empty() && unread != nullptr
                       ? mdlReplace::TextTooLong(*unread)
                       : result.problem;
    if (answer->text.empty()) {
      const std::string checked = Table(result.coverage);
      answer->bytes.assign(checked.begin(), checked.end());
      answer->done = 1;
    }
  }
  delete input;
  return answer;
}
