#include "front/tool_steps.h"

#include "front/run_steps.h"
#include "messages/show_error.h"
#include "platform/replace_file.h"
#include "source/font_source.h"
#include "source/reading_notice.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kOutputFailed = "The output could not be written.";

std::string NotWritten(const std::string& path) {
  return path + " could not be written.";
}

std::string LinkToNothing(const std::string& path) {
  return path + " is a symbolic link to a file that does not exist.";
}

}  // namespace

std::string NotFound(const std::string& path) {
  return path + " was not found.";
}

std::string Unreadable(const std::string& path) {
  return path + " could not be read.";
}

std::string WhyNotOpened(Found found, const std::string& path,
                         const std::string& not_this) {
  switch (found) {
    case Found::Absent:
      return NotFound(path);
    case Found::Folder:
    case Found::Other:
      return not_this;
    case Found::Refused:
      return Unreadable(path);
    case Found::File:
    case Found::Stream:
      break;
  }
  return std::string();
}

// Reads the font of the source, or shows why there is none. A font placed
// by a code page is told how many codes got a glyph, and one of smaller
// glyphs that they are placed in 8x8 cells: information, not a failure.
bool ReadSourceFont(Platform& platform, const std::string& path,
                    CodePageUse* code_pages, FontImage* font) {
  std::string refusal;
  switch (LoadFontSource(platform, path, SourceUse::Tool, font, code_pages,
                         &refusal)) {
    case FontLoad::Loaded:
      TellReading(platform, ReadingNotice(path, *code_pages));
      return true;
    case FontLoad::Absent:
      ShowError(platform, NotFound(path));
      break;
    case FontLoad::Failed:
      ShowError(platform, refusal);
      break;
  }
  return false;
}

int WriteWhole(Platform& platform, const std::string& destination,
               const Bytes& bytes) {
  switch (ReplaceFile(platform, destination, [&](FileId file) {
    return platform.WriteAt(file, 0, bytes) == bytes.size();
  })) {
    case Replacement::Done:
      return kExitSuccess;
    case Replacement::DanglingLink:
      return EndWithError(platform, LinkToNothing(destination));
    case Replacement::NotAFile:
    case Replacement::Failed:
      break;
  }
  return EndWithError(platform, NotWritten(destination));
}

// A reader that stops reading early (| head) has what it wanted; any other
// failure is told, where standard error can still take it.
int Print(Platform& platform, std::string_view text) {
  switch (platform.PrintOutput(std::string(ErrorCaption), std::string(text))) {
    case Output::Shown:
    case Output::ReaderGone:
      return kExitSuccess;
    case Output::Failed:
      break;
  }
  return EndWithError(platform, kOutputFailed);
}

}  // namespace mdlReplace
