#include "patcher/patcher.h"

#include "base/text_lines.h"
#include "messages/show_error.h"
#include "messages/write_refusal.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kNotWritten = " could not be written.";
// Where the system gave no reason the program tells apart.
constexpr std::string_view kNotWrittenAdvice =
    "Make sure it is not read-only and the game is not running.";
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

enum class Outcome { Absent, Patched, UnknownLength, NotWritten, Damaged };

// What became of a target, and what the user is told of it.
struct TargetResult {
  Outcome outcome = Outcome::Absent;
  std::uint64_t length = 0;
  Refusal refusal = Refusal::Unknown;  // why it was not written, if known
};

// Opens the target for writing, or else for reading alone, so that the
// length can still tell an unknown version from a locked known one; why
// writing was refused goes to refusal. Only an ordinary file that is not
// hidden counts as a target: a folder, device or pipe, or a file marked
// hidden or system, named like one is passed over.
OpenedFile OpenTarget(Files& files, const std::string& path, bool* writable,
                      Refusal* refusal) {
  OpenedFile file = files.Open(path, Naming::Spelled, OpenMode::ReadWrite);
  *writable = file.found == Found::File;
  *refusal = file.refusal;
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
// the bytes it changed go back, and why it failed goes to refusal. A
// sparse file gets its blocks first, since a full disk would refuse them
// in the middle of the write.
Outcome WriteFontWhole(Files& files, const OpenedFile& file,
                       std::uint64_t offset, const FontImage& font,
                       Refusal* refusal) {
  if (file.has_holes && !files.Reserve(file.id, offset, kFontSize)) {
    *refusal = files.WriteFailure();
    return Outcome::NotWritten;
  }
  FontImage original{};
  if (!files.ReadAt(file.id, offset, original))
    return Outcome::NotWritten;
  const std::size_t written = files.WriteAt(file.id, offset, font);
  if (written == kFontSize && files.Flush(file.id))
    return Outcome::Patched;
  *refusal = files.WriteFailure();
  // Only what was written goes back: beyond a file-size limit, say, the
  // rest could not be written either way.
  const std::span<const std::uint8_t> changed(original.data(), written);
  if (files.WriteAt(file.id, offset, changed) == written &&
      files.Flush(file.id))
    return Outcome::NotWritten;
  return Outcome::Damaged;
}

TargetResult WriteIntoTarget(Files& files, const std::string& path,
                             const TargetFile& target, const FontImage& font) {
  TargetResult result;
  bool writable = false;
  const OpenedFile file = OpenTarget(files, path, &writable, &result.refusal);
  if (file.found == Found::Absent)
    return result;
  result.outcome = Outcome::NotWritten;
  if (file.found == Found::Refused)
    return result;
  result.length = file.length;
  // An unknown length is reported as such even when the file is locked:
  // which version it is is the more useful news.
  const KnownVersion* version = FindVersion(target, file.length);
  if (version == nullptr)
    result.outcome = Outcome::UnknownLength;
  else if (writable)
    result.outcome = WriteFontWhole(files, file, version->font_offset, font,
                                    &result.refusal);
  // Whatever the close says, the file holds the whole font, flushed, or
  // the bytes it had: there is nothing left to undo.
  files.Close(file.id);
  return result;
}

// "ZYR2.EXE could not be written.", then why and what to do.
std::string NotWrittenMessage(const TargetFile& target, Refusal refusal,
                              const AsAdministrator& as_administrator) {
  const std::string what_to_do = WhatToDo(
      WriteRefusal{.reason = refusal, .room = kFontSize}, RefusedFile::GameFile,
      target.name, std::string_view(), as_administrator);
  return TargetMessage(target, kNotWritten,
                       what_to_do.empty() ? kNotWrittenAdvice : what_to_do);
}

// Reports a target that is there but was not patched; no report ends the
// run.
TargetResult PatchTarget(Files& files, User& user, const std::string& path,
                         const TargetFile& target, const FontImage& font,
                         const AsAdministrator& as_administrator) {
  const TargetResult result = WriteIntoTarget(files, path, target, font);
  switch (result.outcome) {
    case Outcome::Patched:
    case Outcome::Absent:
      break;
    case Outcome::UnknownLength:
      ShowError(user, SizeMessage(target, result.length));
      break;
    case Outcome::NotWritten:
      ShowError(user,
                NotWrittenMessage(target, result.refusal, as_administrator));
      break;
    case Outcome::Damaged:
      ShowError(user, TargetMessage(target, kDamaged, kDamagedAdvice));
      break;
  }
  return result;
}

}  // namespace

bool HoldsGameFile(Files& files, const std::string& game_folder) {
  for (const TargetFile& target : GameFiles()) {
    bool writable = false;
    Refusal refusal = Refusal::Unknown;
    const OpenedFile file = OpenTarget(
        files, game_folder + std::string(target.name), &writable, &refusal);
    if (file.found != Found::Absent) {
      files.Close(file.id);
      return true;
    }
  }
  return false;
}

bool PatchGameFolder(Files& files, User& user, const std::string& game_folder,
                     const FontImage& font,
                     const AsAdministrator& as_administrator) {
  bool any_patched = false;
  bool any_not_written = false;
  for (const TargetFile& target : GameFiles()) {
    const std::string path = game_folder + std::string(target.name);
    const Outcome outcome =
        PatchTarget(files, user, path, target, font, as_administrator).outcome;
    any_patched = any_patched || outcome == Outcome::Patched;
    any_not_written = any_not_written || outcome == Outcome::NotWritten ||
                      outcome == Outcome::Damaged;
  }
  // A file that could not be written was found: the summary, which says
  // none was, would belie its box.
  if (!any_patched && !any_not_written)
    ShowError(user, kNothingProcessed);
  return any_patched;
}

}  // namespace mdlReplace
