#include "check/check_texts.h"

#include <utility>
#include <vector>

#include "check/check_report.h"
#include "check/text_tally.h"

namespace mdlReplace {

void PlaceTheRest(std::span<const TextFile> texts, std::size_t from,
                  Coverage* coverage) {
  std::vector<char32_t> sought = Unplaced(*coverage);
  if (sought.empty())
    return;
  TextTally seeking(std::move(sought));
  for (std::size_t file = 0; file < texts.size(); ++file) {
    seeking.BeginFile();
    // Every character of the files before is placed.
    if (file >= from)
      seeking.Read(texts[file].bytes);
    seeking.EndFile();
  }
  FillFirstPlaces(seeking, texts.size(), coverage);
}

namespace {

// The texts' characters counted and checked; the places the tally did not
// keep are left to be found.
std::string Check(const FontImage& font, const CodePage& code_page,
                  std::span<const TextFile> texts, Coverage* coverage,
                  std::size_t* unkept_from) {
  TextTally tally;
  for (const TextFile& text : texts) {
    if (text.bytes.size() > kLargestText)
      return TextTooLong(text.name);
    tally.BeginFile();
    if (!tally.Read(text.bytes) || !tally.EndFile())
      return NotUtf8(text.name, tally.broken());
  }
  *coverage = CheckCoverage(tally, font, code_page);
  *unkept_from = tally.UnkeptFrom();
  return std::string();
}

}  // namespace

CheckResult CheckTexts(const FontImage& font, const CodePage& code_page,
                       std::span<const TextFile> texts) {
  CheckResult result;
  std::size_t unkept_from = 0;
  result.problem =
      Check(font, code_page, texts, &result.coverage, &unkept_from);
  if (result.problem.empty())
    PlaceTheRest(texts, unkept_from, &result.coverage);
  return result;
}

}  // namespace mdlReplace
