#include "patcher/patcher.h"

#include "base/text_lines.h"
#include "messages/show_error.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kNotWritten = " could not be written.";
constexpr std::string_view kNotWrittenAdvice =
    "Make sure it is not read-only and the game is not running.";
// Where the system denied the user the right to write.
constexpr std::string_view kDeniedAdvice =
    "Make sure it is not read-only and the game is not running.\r\n"
    "A game under Program Files can only be patched by this program started "
    "as administrator: right-click Command Prompt, choose \"Run as "
    "administrator\", and give zyr2font the font and the game folder there.";
constexpr std::string_view kDamaged =
    " could not be written, and may now be damaged.";
constexpr std::string_view kDamagedAdvice =
    "Restore it from a backup, or reinstall the game.";
constexpr std::string_view kNothingProcessed =
    "None of the game files were found or processed.\r\n"
    "Make sure you specified the right path, and you have a supported "
    "version of ZYR 2.\r\n"
    "\r\n"
    "For a list of supported versions, check the README.TXT file.";

// The target's name and a sentence, a line break and advice.
std::string TargetMessage(const TargetFile& target, std::string_view sentence,
                          std::string_view advice) {
  std::string message(target.name);
  message += sentence;
  message += kLineBreak;
  message += advice;
  return message;
}

enum class Outcome {
  Absent,
  Patched,
  UnknownLength,
  NotWritten,
  Denied,
  Damaged
};

// Opens the target for writing, or else for reading alone, so that the
// length can still tell an unknown version from a locked known one. Only an
// ordinary file that is not hidden counts as a target: a folder, device or
// pipe, or a file marked hidden or system, named like one is passed over.
OpenedFile OpenTarget(Files& files, const std::string& path, bool* writable,
                      bool* denied) {
  OpenedFile file = files.Open(path, Naming::Spelled, OpenMode::ReadWrite);
  *writable = file.found == Found::File;
  *denied = file.found == Found::Refused && file.denied;
  if (file.found == Found::Refused && !file.hidden)
    file = files.Open(path, Naming::Spelled, OpenMode::Read);
  const bool target =
      (file.found == Found::File || file.found == Found::Refused) &&
      !file.hidden;
  if (!target && (file.found == Found::File || file.found == Found::Stream))
    files.Close(file.id);
  return target ? file : OpenedFile{.found = Found::Absent};
}

// Writes the font over the bytes at the offset, and keeps those bytes until
// the font is on the disk: should the write or its flush fail part way,
// the bytes it changed go back. A sparse file gets its blocks first, since
// a full disk would refuse them in the middle of the write.
Outcome WriteFontWhole(Files& files, const OpenedFile& file,
                       std::uint64_t offset, const FontImage& font) {
  if (file.has_holes && !files.Reserve(file.id, offset, kFontSize))
    return Outcome::NotWritten;
  FontImage original{};
  if (!files.ReadAt(file.id, offset, original))
    return Outcome::NotWritten;
  const std::size_t written = files.WriteAt(file.id, offset, font);
  if (written == kFontSize && files.Flush(file.id))
    return Outcome::Patched;
  // Only what was written goes back: beyond a file-size limit, say, the
  // rest could not be written either way.
  const std::span<const std::uint8_t> changed(original.data(), written);
  if (files.WriteAt(file.id, offset, changed) == written &&
      files.Flush(file.id))
    return Outcome::NotWritten;
  return Outcome::Damaged;
}

Outcome WriteIntoTarget(Files& files, const std::string& path,
                        const TargetFile& target, const FontImage& font,
                        std::uint64_t* length) {
  bool writable = false;
  bool denied = false;
  const OpenedFile file = OpenTarget(files, path, &writable, &denied);
  if (file.found == Found::Absent)
    return Outcome::Absent;
  if (file.found == Found::Refused)
    return denied ? Outcome::Denied : Outcome::NotWritten;
  *length = file.length;
  // An unknown length is reported as such even when the file is locked:
  // which version it is is the more useful news.
  const KnownVersion* version = FindVersion(target, file.length);
  const Outcome refused = denied ? Outcome::Denied : Outcome::NotWritten;
  Outcome outcome = version == nullptr ? Outcome::UnknownLength : refused;
  if (version != nullptr && writable)
    outcome = WriteFontWhole(files, file, version->font_offset, font);
  // Whatever the close says, the file holds the whole font, flushed, or
  // the bytes it had: there is nothing left to undo.
  files.Close(file.id);
  return outcome;
}

// Reports a target that is there but was not patched; no report ends the
// run.
Outcome PatchTarget(Files& files, User& user, const std::string& path,
                    const TargetFile& target, const FontImage& font) {
  std::uint64_t length = 0;
  const Outcome outcome = WriteIntoTarget(files, path, target, font, &length);
  switch (outcome) {
    case Outcome::Patched:
    case Outcome::Absent:
      break;
    case Outcome::UnknownLength:
      ShowError(user, SizeMessage(target, length));
      break;
    case Outcome::NotWritten:
      ShowError(user, TargetMessage(target, kNotWritten, kNotWrittenAdvice));
      break;
    case Outcome::Denied:
      ShowError(user, TargetMessage(target, kNotWritten, kDeniedAdvice));
      break;
    case Outcome::Damaged:
      ShowError(user, TargetMessage(target, kDamaged, kDamagedAdvice));
      break;
  }
  return outcome;
}

}  // namespace

bool HoldsGameFile(Files& files, const std::string& game_folder) {
  for (const TargetFile& target : GameFiles()) {
    bool writable = false;
    bool denied = false;
    const OpenedFile file = OpenTarget(
        files, game_folder + std::string(target.name), &writable, &denied);
    if (file.found != Found::Absent) {
      files.Close(file.id);
      return true;
    }
  }
  return false;
}

bool PatchGameFolder(Files& files, User& user, const std::string& game_folder,
                     const FontImage& font) {
  bool any_patched = false;
  bool any_not_written = false;
  for (const TargetFile& target : GameFiles()) {
    const std::string path = game_folder + std::string(target.name);
    const Outcome outcome = PatchTarget(files, user, path, target, font);
    any_patched = any_patched || outcome == Outcome::Patched;
    any_not_written = any_not_written || outcome == Outcome::NotWritten ||
                      outcome == Outcome::Denied || outcome == Outcome::Damaged;
  }
  // A file that could not be written was found: the summary, which says
  // none was, would belie its box.
  if (!any_patched && !any_not_written)
    ShowError(user, kNothingProcessed);
  return any_patched;
}

}  // namespace mdlReplace
