#include "messages/write_refusal.h"

#include "base/text_lines.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kIsReadOnly =
    " is read-only: clear Read-only in its Properties.";
constexpr std::string_view kOnReadOnlyMedium =
    " is on a disc or a drive that cannot be written: copy its folder to "
    "the hard disk and use the copy.";
constexpr std::string_view kInUse =
    " is in use by another program, as when the game is running: close it, "
    "then try again.";
constexpr std::string_view kMayNotChange = "You may not change ";
constexpr std::string_view kMayNotWriteIn = "You may not write in ";
constexpr std::string_view kByPermissions =
    ": its permissions do not allow it.";
constexpr std::string_view kWindowsDoesNotAllowChanging =
    "Windows does not allow you to change ";
constexpr std::string_view kWindowsDoesNotAllowWritingIn =
    "Windows does not allow you to write in ";
// A Command Prompt started as administrator begins in System32, where
// only a full path finds the program and the files: hence the command
// to paste, not the way to it.
constexpr std::string_view kStartAsAdministrator =
    ". Start the program as administrator: right-click Command Prompt, "
    "choose \"Run as administrator\", and paste there:";

std::string Denied(const WriteRefusal& why, std::string_view name,
                   std::string_view folder, std::string_view as_administrator) {
  const std::string_view what = why.in_folder ? folder : name;
  if (as_administrator.empty())
    return std::string(why.in_folder ? kMayNotWriteIn : kMayNotChange) +
           std::string(what) + std::string(kByPermissions);
  return std::string(why.in_folder ? kWindowsDoesNotAllowWritingIn
                                   : kWindowsDoesNotAllowChanging) +
         std::string(what) + std::string(kStartAsAdministrator) +
         std::string(kLineBreak) + std::string(as_administrator);
}

}  // namespace

std::string WhatToDo(const WriteRefusal& why, std::string_view name,
                     std::string_view folder,
                     std::string_view as_administrator) {
  switch (why.reason) {
    case Refusal::ReadOnlyFile:
      return std::string(name) + std::string(kIsReadOnly);
    case Refusal::ReadOnlyMedium:
      return std::string(name) + std::string(kOnReadOnlyMedium);
    case Refusal::InUse:
      return std::string(name) + std::string(kInUse);
    case Refusal::Denied:
      return Denied(why, name, folder, as_administrator);
    case Refusal::Unknown:
      break;
  }
  return why.system_words;
}

}  // namespace mdlReplace
