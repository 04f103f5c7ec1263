#include "patcher/patcher.h"

#include <span>
#include <string_view>

#include "front/show_error.h"

namespace mdlReplace {

namespace {

// A version of a game file, told apart from the others only by its exact
// length, and where in it the font lies.
struct KnownVersion {
  std::uint64_t length;
  std::uint64_t font_offset;
};

struct TargetFile {
  std::string_view name;
  std::string_view size_label;  // opens the message for an unknown length
  std::span<const KnownVersion> versions;
};

constexpr std::array<KnownVersion, 3> kDosVersions = {{
    {928799, 881700},
    {945979, 899108},
    {946491, 899620},
}};

// ZYR2.EXE and BRANVEL.EXE come in the same three builds.
constexpr std::array<KnownVersion, 3> kWindowsVersions = {{
    {597504, 497968},
    {615936, 513588},
    {616448, 514100},
}};

// Tried in this order.
constexpr std::array<TargetFile, 3> kTargets = {{
    {"ZYR2.DOS", "ZYR2.DOS File size:", kDosVersions},
    {"ZYR2.EXE", "ZYR2.EXE File size:", kWindowsVersions},
    {"BRANVEL.EXE", "BRANVEL.EXE File size:", kWindowsVersions},
}};

constexpr bool FontEndsInsideFile(std::span<const KnownVersion> versions) {
  for (const KnownVersion& version : versions) {
    if (version.font_offset + kFontSize > version.length)
      return false;
  }
  return true;
}
// Writing at these offsets can therefore never make a file longer.
static_assert(FontEndsInsideFile(kDosVersions));
static_assert(FontEndsInsideFile(kWindowsVersions));

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kDifferentVersion =
    "Maybe it's a different version of the game.";
constexpr std::string_view kNotWritten = " could not be written.";
constexpr std::string_view kNotWrittenAdvice =
    "Make sure it is not read-only and the game is not running.";
constexpr std::string_view kNothingProcessed =
    "None of the game files were found or processed.\r\n"
    "Make sure you specified the right path, and you have a supported "
    "version of ZYR 2.\r\n"
    "\r\n"
    "For a list of supported versions, check the README.TXT file.";

// "ZYR2.DOS File size: 1000000", then a line break and the hint.
std::string SizeMessage(const TargetFile& target, std::uint64_t length) {
  std::string message(target.size_label);
  message += ' ';
  message += std::to_string(length);
  message += kLineBreak;
  message += kDifferentVersion;
  return message;
}

std::string NotWrittenMessage(const TargetFile& target) {
  std::string message(target.name);
  message += kNotWritten;
  message += kLineBreak;
  message += kNotWrittenAdvice;
  return message;
}

// The version a file of this length is, or nullptr for an unknown length.
const KnownVersion* FindVersion(const TargetFile& target,
                                std::uint64_t length) {
  for (const KnownVersion& version : target.versions) {
    if (version.length == length)
      return &version;
  }
  return nullptr;
}

// Writes the font and makes sure it reached the disk. The file is closed
// whatever happens.
bool WriteFont(Platform& platform, FileId file, std::uint64_t offset,
               const FontImage& font) {
  const bool written =
      platform.WriteAt(file, offset, font) && platform.Flush(file);
  const bool closed = platform.Close(file);
  return written && closed;
}

// Nothing was written to the file, so a failing close loses nothing.
void CloseUnchanged(Platform& platform, FileId file) {
  platform.Close(file);
}

// Opens the target for writing, or else for reading alone, so that the
// length can still tell an unknown version from a locked known one.
FileId OpenTarget(Platform& platform, const std::string& path, bool* writable) {
  FileId file = platform.Open(path, OpenMode::ReadWrite);
  *writable = file != kNoFile;
  if (file == kNoFile)
    file = platform.Open(path, OpenMode::Read);
  return file;
}

enum class Outcome { Absent, Patched, UnknownLength, NotWritten };

Outcome WriteIntoTarget(Platform& platform, const std::string& path,
                        const TargetFile& target, const FontImage& font,
                        std::uint64_t* length) {
  if (!platform.FileExists(path))
    return Outcome::Absent;
  bool writable = false;
  const FileId file = OpenTarget(platform, path, &writable);
  if (file == kNoFile)
    return Outcome::NotWritten;
  if (!platform.Length(file, length)) {
    CloseUnchanged(platform, file);
    return Outcome::NotWritten;
  }
  // An unknown length is reported as such even when the file is locked:
  // which version it is is the more useful news.
  const KnownVersion* version = FindVersion(target, *length);
  if (version == nullptr || !writable) {
    CloseUnchanged(platform, file);
    return version == nullptr ? Outcome::UnknownLength : Outcome::NotWritten;
  }
  if (!WriteFont(platform, file, version->font_offset, font))
    return Outcome::NotWritten;
  return Outcome::Patched;
}

// Returns whether the font was written into the target; reports a target
// that is there but was not patched. Neither report ends the run.
bool PatchTarget(Platform& platform, const std::string& path,
                 const TargetFile& target, const FontImage& font) {
  std::uint64_t length = 0;
  switch (WriteIntoTarget(platform, path, target, font, &length)) {
    case Outcome::Patched:
      return true;
    case Outcome::Absent:
      return false;
    case Outcome::UnknownLength:
      ShowError(platform, SizeMessage(target, length));
      return false;
    case Outcome::NotWritten:
      ShowError(platform, NotWrittenMessage(target));
      return false;
  }
  return false;
}

}  // namespace

bool PatchGameFolder(Platform& platform, const std::string& game_folder,
                     const FontImage& font) {
  bool any_patched = false;
  for (const TargetFile& target : kTargets) {
    const std::string path = game_folder + std::string(target.name);
    if (PatchTarget(platform, path, target, font))
      any_patched = true;
  }
  if (!any_patched)
    ShowError(platform, kNothingProcessed);
  return any_patched;
}

}  // namespace mdlReplace
