#include "front/check_command.h"

#include <array>
#include <cstring>
#include <utility>
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

// What tells a file read a second time from one that changed in between:
// its length, and two sums of its 8-byte words, the second of the first's
// running totals (Fletcher's), which a change of a word or of their order
// alters. A word at a time, cheap beside the decoding of the text.
class Fingerprint {
 public:
  void Add(std::span<const std::uint8_t> bytes) {
    std::size_t at = 0;
    for (; at < bytes.size() && length_ % kWord != 0; ++at)
      AddByte(bytes[at]);
    for (; at + kWord <= bytes.size(); at += kWord) {
      std::uint64_t word = 0;
      std::memcpy(&word, bytes.data() + at, kWord);
      AddWord(word);
      length_ += kWord;
    }
    for (; at < bytes.size(); ++at)
      AddByte(bytes[at]);
  }
  bool operator==(const Fingerprint&) const = default;

 private:
  static constexpr std::size_t kWord = 8;

  // A word's bytes, one piece's last and the next one's first.
  void AddByte(std::uint8_t byte) {
    begun_[length_ % kWord] = byte;
    if (++length_ % kWord != 0)
      return;
    std::uint64_t word = 0;
    std::memcpy(&word, begun_.data(), kWord);
    AddWord(word);
    begun_.fill(0);
  }
  void AddWord(std::uint64_t word) {
    sum_ += word;
    sums_ += sum_;
  }

  std::uint64_t length_ = 0;
  std::array<std::uint8_t, kWord> begun_{};
  std::uint64_t sum_ = 0;
  std::uint64_t sums_ = 0;
};

// A text as the first reading read it, for a second one to read again.
struct TextRead {
  bool pipe = false;
  Fingerprint fingerprint;
};

// A file or a pipe, in pieces, to its end: a file's length as the system
// reports it may be 0 or short (those of /proc, of some network and FUSE
// file systems), and a pipe has none. Read to the first byte past the
// largest text, and no further.
std::string TallyPieces(Platform& platform, const std::string& path,
                        const OpenedFile& file, TextTally* tally,
                        Fingerprint* fingerprint) {
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
    fingerprint->Add(std::span(piece).first(got));
    if (!tally->Read(std::span(piece).first(got)))
      return NotUtf8(path, tally->broken());
  }
  return tally->EndFile() ? std::string() : NotUtf8(path, tally->broken());
}

// Counts the text's characters, or says why it cannot be read.
std::string TallyText(Platform& platform, const std::string& path,
                      TextTally* tally, TextRead* read) {
  const OpenedFile file = platform.Open(path, Naming::Exact, OpenMode::Read);
  std::string message = WhyNotOpened(file.found, path, NotAText(path));
  if (!message.empty())
    return message;
  read->pipe = file.found == Found::Stream;
  message = TallyPieces(platform, path, file, tally, &read->fingerprint);
  if (!platform.Close(file.id) && message.empty())
    message = Unreadable(path);
  return message;
}

// The texts, counted and checked.
struct CheckedTexts {
  std::vector<TextRead> read;
  Coverage coverage;
  std::size_t unkept_from = 0;  // the tally's UnkeptFrom
};

// Counts the texts' characters and checks them, or says why a text cannot
// be read. The tally's memory goes before the texts are read again.
std::string TallyAndCheck(Platform& platform,
                          const std::vector<std::string>& texts,
                          const FontImage& font, const CodePage& code_page,
                          std::size_t listed, CheckedTexts* checked) {
  TextTally tally;
  checked->read.resize(texts.size());
  for (std::size_t file = 0; file < texts.size(); ++file) {
    std::string message =
        TallyText(platform, texts[file], &tally, &checked->read[file]);
    if (!message.empty())
      return message;
  }
  checked->coverage = CheckCoverage(tally, font, code_page, listed);
  checked->unkept_from = tally.UnkeptFrom();
  return std::string();
}

// Reads the text again, as it was read, into the tally that seeks the
// places not kept; false, and why, where it cannot: a pipe's bytes are
// gone, and a file that holds other bytes now would give wrong places.
bool ReadAgain(Platform& platform, const std::string& path,
               const TextRead& first, TextTally* seeking, PlaceUnknown* why) {
  if (first.pipe) {
    *why = PlaceUnknown::Pipe;
    return false;
  }
  // A pipe where the file was is another text, and is not waited on for
  // a writer that may never come.
  const OpenedFile file =
      platform.Open(path, Naming::Exact, OpenMode::ReadAtOnce);
  if (file.found != Found::File) {
    if (file.found == Found::Stream)
      platform.Close(file.id);
    *why = file.found == Found::Stream ? PlaceUnknown::Changed
                                       : PlaceUnknown::Unreadable;
    return false;
  }
  Fingerprint fingerprint;
  std::vector<std::uint8_t> piece(kPieceSize);
  bool read = true;
  // Past the largest text, it is no longer the text read.
  for (std::uint64_t length = 0; length <= kLargestText;) {
    std::size_t got = 0;
    read = platform.ReadNext(file.id, piece, &got);
    if (!read || got == 0)
      break;
    length += got;
    fingerprint.Add(std::span(piece).first(got));
    seeking->Read(std::span(piece).first(got));
  }
  seeking->EndFile();
  const bool closed = platform.Close(file.id);
  *why = read && closed ? PlaceUnknown::Changed : PlaceUnknown::Unreadable;
  return read && closed && fingerprint == first.fingerprint;
}

// The first places the tally did not keep and the report lists, found by
// reading the texts again from the first file that has one, where each
// holds what it held; the report says why where one does not.
void PlaceTheRest(Platform& platform, const std::vector<std::string>& texts,
                  CheckedTexts* checked) {
  Coverage& coverage = checked->coverage;
  std::vector<char32_t> sought = Unplaced(coverage);
  if (sought.empty())
    return;
  TextTally seeking(std::move(sought));
  for (std::size_t file = 0; file < texts.size(); ++file) {
    seeking.BeginFile();
    if (file < checked->unkept_from)
      continue;  // every character of it is placed
    PlaceUnknown why = PlaceUnknown::NotReadAgain;
    if (!ReadAgain(platform, texts[file], checked->read[file], &seeking,
                   &why)) {
      FillFirstPlaces(seeking, file, &coverage);
      coverage.unplaced = why;
      coverage.unplaced_file = file;
      return;
    }
  }
  FillFirstPlaces(seeking, texts.size(), &coverage);
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
  const CodePage& code_page = CodePageToGoBy(*code_pages);
  CheckedTexts checked;
  const std::string message =
      TallyAndCheck(platform, texts, font, code_page,
                    all ? kEveryCharacter : kListedCharacters, &checked);
  if (!message.empty())
    return EndWithError(platform, message);
  PlaceTheRest(platform, texts, &checked);
  const Coverage& coverage = checked.coverage;
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
