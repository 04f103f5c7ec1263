#include "messages/write_refusal.h"

#include "base/text_lines.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kIsReadOnly =
    " is read-only: clear Read-only in its Properties.";
constexpr std::string_view kOnReadOnlyMedium =
    " is on a disc or a drive that cannot be written: copy its folder to "
    "the hard disk and use the copy.";
constexpr std::string_view kInUse = " is in use by another program";
// The game holds its own files while it runs, never this program.
constexpr std::string_view kAsWhenTheGameRuns = ", as when the game is running";
constexpr std::string_view kCloseIt = ": close it, then try again.";
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
// Windows XP elevates no one: a prompt is started as another user.
constexpr std::string_view kStartAsAnotherUser =
    ". Start the program as an administrator: right-click Command Prompt, "
    "choose \"Run as...\" and an administrator's account, and paste there:";
// Files owned by the system, a deny entry, a share: as administrator
// already, the program can only say where the rights are set, and how to
// do without them.
constexpr std::string_view kNotEvenAdministratorChanging =
    "Windows does not allow even an administrator to change ";
constexpr std::string_view kNotEvenAdministratorWritingIn =
    "Windows does not allow even an administrator to write in ";
constexpr std::string_view kSeeSecurity =
    ": see who may change it on the Security tab of its Properties, or copy ";
constexpr std::string_view kCopyTheGame =
    "the game's folder to a folder of your own and patch the copy.";
constexpr std::string_view kCopyTheProgram =
    " to a folder of your own and attach the font to the copy.";
constexpr std::string_view kDiskFull = "The disk ";
constexpr std::string_view kIsOnIsFull = " is on is full: make room for ";
constexpr std::string_view kBytesOnIt = " on it, then try again.";
constexpr std::string_view kRoomOnIt =
    " is on is full: make room on it, then "
    "try again.";
constexpr std::string_view kPastTheLimit =
    " would reach past the file-size limit the program runs under: raise "
    "the limit, then try again.";

// "613,888 bytes": a size as the user's file manager counts it.
std::string Bytes(std::uint64_t count) {
  std::string digits = std::to_string(count);
  for (std::size_t at = digits.size(); at > 3; at -= 3)
    digits.insert(at - 3, ",");
  return digits + (count == 1 ? " byte" : " bytes");
}

std::string DiskFull(const WriteRefusal& why, std::string_view name) {
  if (why.room == 0)
    return std::string(kDiskFull) + std::string(name) + std::string(kRoomOnIt);
  return std::string(kDiskFull) + std::string(name) + std::string(kIsOnIsFull) +
         Bytes(why.room) + std::string(kBytesOnIt);
}

std::string InUse(RefusedFile refused, std::string_view name) {
  return std::string(name) + std::string(kInUse) +
         std::string(refused == RefusedFile::GameFile ? kAsWhenTheGameRuns
                                                      : std::string_view()) +
         std::string(kCloseIt);
}

std::string NotEvenAdministrator(const WriteRefusal& why, RefusedFile refused,
                                 std::string_view name, std::string_view what) {
  return std::string(why.in_folder ? kNotEvenAdministratorWritingIn
                                   : kNotEvenAdministratorChanging) +
         std::string(what) + std::string(kSeeSecurity) +
         (refused == RefusedFile::GameFile
              ? std::string(kCopyTheGame)
              : std::string(name) + std::string(kCopyTheProgram));
}

std::string Denied(const WriteRefusal& why, RefusedFile refused,
                   std::string_view name, std::string_view folder,
                   const AsAdministrator& as_administrator) {
  const std::string_view what = why.in_folder ? folder : name;
  switch (as_administrator.rights) {
    case Administrator::Offered:
    case Administrator::OfferedAsAnotherUser:
      if (as_administrator.command.empty())
        break;
      return std::string(why.in_folder ? kWindowsDoesNotAllowWritingIn
                                       : kWindowsDoesNotAllowChanging) +
             std::string(what) +
             std::string(as_administrator.rights == Administrator::Offered
                             ? kStartAsAdministrator
                             : kStartAsAnotherUser) +
             std::string(kLineBreak) + as_administrator.command;
    case Administrator::Already:
      return NotEvenAdministrator(why, refused, name, what);
    case Administrator::None:
      break;
  }
  return std::string(why.in_folder ? kMayNotWriteIn : kMayNotChange) +
         std::string(what) + std::string(kByPermissions);
}

}  // namespace

std::string WhatToDo(const WriteRefusal& why, RefusedFile refused,
                     std::string_view name, std::string_view folder,
                     const AsAdministrator& as_administrator) {
  switch (why.reason) {
    case Refusal::ReadOnlyFile:
      return std::string(name) + std::string(kIsReadOnly);
    case Refusal::ReadOnlyMedium:
      return std::string(name) + std::string(kOnReadOnlyMedium);
    case Refusal::InUse:
      return InUse(refused, name);
    case Refusal::Denied:
      return Denied(why, refused, name, folder, as_administrator);
    case Refusal::DiskFull:
      return DiskFull(why, name);
    case Refusal::TooLarge:
      return std::string(name) + std::string(kPastTheLimit);
    case Refusal::Unknown:
      break;
  }
  return why.system_words;
}

}  // namespace mdlReplace
