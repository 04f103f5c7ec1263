#include "front/check_command.h"

#include <vector>

#include "check/check_report.h"
#include "check/coverage.h"
#include "check/text_tally.h"
#include "fonts/code_pages.h"
#include "front/run_steps.h"
#include "front/tool_steps.h"

namespace mdlReplace {

namespace {

// A text is read a piece at a time, however long it is.
constexpr std::size_t kPieceSize = std::size_t{64} * 1024;

std::string NotAText(const std::string& path) {
  return path + " is not a text file.";
}

// A file or a pipe, in pieces, to its end: a file's length as the system
// reports it may be 0 or short (those of /proc, of some network and FUSE
// file systems), and a pipe has none. Read to the first byte past the
// largest text, and no further.
std::string TallyPieces(Platform& platform, const std::string& path,
                        const OpenedFile& file, TextTally* tally) {
  if (file.length > kLargestText)
    return TextTooLong(path);
  tally->BeginFile();
  std::vector<std::uint8_t> piece(kPieceSize);
  std::uint64_t read = 0;
  for (;;) {
    std::size_t got = 0;
    if (!platform.ReadNext(file.id, piece, &got))
      return Unreadable(path);
    if (got == 0)
      break;
    read += got;
    if (read > kLargestText)
      return TextTooLong(path);
    if (!tally->Read(std::span(piece).first(got)))
      return NotUtf8(path, tally->broken());
  }
  return tally->EndFile() ? std::string() : NotUtf8(path, tally->broken());
}

// Counts the text's characters, or says why it cannot be read.
std::string TallyText(Platform& platform, const std::string& path,
                      TextTally* tally) {
  const OpenedFile file = platform.Open(path, Naming::Exact, OpenMode::Read);
  std::string message = WhyNotOpened(file.found, path, NotAText(path));
  if (!message.empty())
    return message;
  message = TallyPieces(platform, path, file, tally);
  if (!platform.Close(file.id) && message.empty())
    message = Unreadable(path);
  return message;
}

// A text is read as characters: a code page without a table gives them no
// codes.
std::string NoTableForTexts(const CodePageUse& use) {
  return "--check reads the texts as characters, and this program has no "
         "table of code page " +
         std::to_string(use.named_without_table) +
         " to find their codes by: it has " + CodePageNumbers() + ".";
}

// A window shows a report's first lines, and its last only when scrolled
// to: there the summary (and the line of a better code page) that end the
// report, where a console keeps them in sight, come first, above the
// lists.
std::string SummaryFirst(const std::string& report, std::size_t tail_lines) {
  std::size_t split = report.size();
  for (std::size_t line = 0; line <= tail_lines; ++line) {
    if (split == 0 || split == std::string::npos)
      return report;
    split = report.rfind('\n', split - 1);
  }
  if (split == std::string::npos)
    return report;
  return report.substr(split + 1) + "\n" + report.substr(0, split + 1);
}

}  // namespace

int RunCheck(Platform& platform, const std::vector<std::string>& files,
             CodePageUse* code_pages, bool all) {
  if (code_pages->named_without_table != 0)
    return EndWithError(platform, NoTableForTexts(*code_pages));
  // With no code page named, the font's own, where it tells one.
  const bool named = code_pages->named != nullptr;
  code_pages->by_own = !named;
  FontImage font{};
  if (!ReadSourceFont(platform, files[0], code_pages, &font))
    return kExitFailure;
  const std::vector<std::string> texts(files.begin() + 1, files.end());
  TextTally tally;
  for (const std::string& text : texts) {
    const std::string message = TallyText(platform, text, &tally);
    if (!message.empty())
      return EndWithError(platform, message);
  }
  const CodePage& code_page = CodePageToCheckIn(*code_pages);
  const Coverage coverage = CheckCoverage(
      tally, font, code_page, all ? kEveryCharacter : kListedCharacters);
  const std::string checked_in =
      named ? std::string() : CheckedInCodePage(code_page, *code_pages) + "\n";
  std::string report = checked_in + DescribeCoverage(coverage, texts, all);
  if (platform.OutputDrawing() == Drawing::Picture)
    report = SummaryFirst(report, coverage.better != nullptr ? 2 : 1);
  const int printed = Print(platform, report);
  if (printed != kExitSuccess)
    return printed;
  return coverage.AllDrawn() ? kExitSuccess : kExitFailure;
}

}  // namespace mdlReplace
