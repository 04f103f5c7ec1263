#include "patcher/patcher.h"

#include "base/names.h"
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

using Outcome = TargetOutcome;

// What became of a target, and why it was not written, if known.
struct TargetResult {
  Outcome outcome = Outcome::Absent;
  std::uint64_t length = 0;
  std::uint64_t offset = 0;
  bool held_font = false;
  Refusal refusal = Refusal::Unknown;
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
// in the middle of the write. Whether the bytes there were the font
// already goes to held_font: the font is written all the same, as it
// always was.
Outcome WriteFontWhole(Files& files, const OpenedFile& file,
                       std::uint64_t offset, const FontImage& font,
                       bool* held_font, Refusal* refusal) {
  if (file.has_holes && !files.Reserve(file.id, offset, kFontSize)) {
    *refusal = files.WriteFailure();
    return Outcome::NotWritten;
  }
  FontImage original{};
  if (!files.ReadAt(file.id, offset, original))
    return Outcome::NotWritten;
  *held_font = original == font;
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
                                    &result.held_font, &result.refusal);
  if (result.outcome == Outcome::Patched)
    result.offset = version->font_offset;
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

// What the user is told of a target that is there but was not patched;
// nothing of one patched or not there.
std::string TargetSaid(const TargetFile& target, const TargetResult& result,
                       const AsAdministrator& as_administrator) {
  switch (result.outcome) {
    case Outcome::Patched:
    case Outcome::Absent:
      break;
    case Outcome::UnknownLength:
      return SizeMessage(target, result.length);
    case Outcome::NotWritten:
      return NotWrittenMessage(target, result.refusal, as_administrator);
    case Outcome::Damaged:
      return TargetMessage(target, kDamaged, kDamagedAdvice);
  }
  return std::string();
}

// Patches a target, and tells what became of it where it was not patched;
// no report ends the run.
TargetReport PatchTarget(Files& files, User& user, const std::string& path,
                         const TargetFile& target, const FontImage& font,
                         const AsAdministrator& as_administrator) {
  const TargetResult result = WriteIntoTarget(files, path, target, font);
  TargetReport report{.name = target.name,
                      .outcome = result.outcome,
                      .length = result.length,
                      .offset = result.offset,
                      .held_font = result.held_font,
                      .refusal = result.refusal,
                      .message = TargetSaid(target, result, as_administrator)};
  if (!report.message.empty())
    ShowError(user, report.message);
  return report;
}

}  // namespace

bool HoldsGameFile(Files& files, const std::string& game_folder) {
  for (const TargetFile& target : GameFiles()) {
    bool writable = false;
    Refusal refusal = Refusal::Unknown;
    const OpenedFile file = OpenTarget(
        files, PathInFolder(game_folder, target.name, files.Separator()),
        &writable, &refusal);
    if (file.found != Found::Absent) {
      files.Close(file.id);
      return true;
    }
  }
  return false;
}

PatchReport PatchGameFolder(Files& files, User& user,
                            const std::string& game_folder,
                            const FontImage& font,
                            const AsAdministrator& as_administrator) {
  PatchReport report;
  bool any_not_written = false;
  // The way to an administrator is told once, in the first box that needs
  // it, since the command it gives patches every file: the boxes after it
  // say only why their file was not written.
  AsAdministrator advice = as_administrator;
  for (const TargetFile& target : GameFiles()) {
    const std::string path =
        PathInFolder(game_folder, target.name, files.Separator());
    report.targets.push_back(
        PatchTarget(files, user, path, target, font, advice));
    const TargetReport& said = report.targets.back();
    if (said.outcome == Outcome::NotWritten && said.refusal == Refusal::Denied)
      advice.command.clear();
    report.any_patched = report.any_patched || said.outcome == Outcome::Patched;
    any_not_written = any_not_written || said.outcome == Outcome::NotWritten ||
                      said.outcome == Outcome::Damaged;
  }
  // A file that could not be written was found: the summary, which says
  // none was, would belie its box.
  if (!report.any_patched && !any_not_written)
    ShowError(user, kNothingProcessed);
  return report;
}

}  // namespace mdlReplace
