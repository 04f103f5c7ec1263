#include "source/font_source.h"

#include <algorithm>

#include "attached/font_block.h"
#include "attached/program_file.h"
#include "base/names.h"
#include "base/text_lines.h"
#include "fonts/code_pages.h"
#include "fonts/formats.h"
#include "fonts/source_rules.h"
#include "game/game_files.h"

namespace mdlReplace {

namespace {

std::string Unreadable(SourceUse use, const std::string& path) {
  return use == SourceUse::Tool ? path + " could not be read."
                                : std::string(kFontFileUnreadable);
}

std::string NotAFontFile(const std::string& path) {
  return path + " is not a font file.";
}

std::string TooLong(const std::string& path) {
  return path + " is too long to be an 8x8 font.";
}

constexpr std::string_view kShortcutExtension = ".lnk";

// A shortcut dropped gives the shortcut's path, not the font's it leads to.
std::string Shortcut(const std::string& path) {
  return path + " is a shortcut: drop the font itself.";
}

std::string Program(const std::string& path) {
  return path + " is a program, not a font: drop the font itself.";
}

bool NamedAsShortcut(std::string_view name) {
  return name.size() > kShortcutExtension.size() &&
         EqualIgnoringAsciiCase(
             name.substr(name.size() - kShortcutExtension.size()),
             kShortcutExtension);
}

// The message when a reader finds something wrong, after the file's name.
std::string Problem(const std::string& path, const std::string& problem) {
  return problem.empty() ? problem : path + " " + problem;
}

// An opened file, looked at as the rules ask, and what the looks read. A
// pipe's bytes, read to its end, are looked at as a file's would be.
class OpenedSource {
 public:
  OpenedSource(Files& files, const std::string& path, const OpenedFile& file,
               SourceUse use)
      : files_(files), path_(path), file_(file), use_(use) {}
  OpenedSource(Files& files, const std::string& path, const OpenedFile& stream,
               SourceUse use, const Bytes& held)
      : OpenedSource(files, path, stream, use) {
    file_.length = held.size();
    bytes_ = held;
    read_all_ = true;
  }

  // Answers what the rules ask; false when the file could not be read.
  bool LookAt(SourceFact fact, SourceFacts* facts);
  // The font the rules decided on, or the message that says why there is
  // none.
  std::string Take(SourceTake take, CodePageUse* code_pages, FontImage* font);

 private:
  bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> data);
  bool ReadLastBlock(bool* carries);
  bool ReadAll();
  std::string FontOfGameFile(FontImage* font);

  Files& files_;
  const std::string& path_;
  OpenedFile file_;
  SourceUse use_;
  FontImage carried_{};
  // The whole file, where the platform holds it in memory or once read.
  std::span<const std::uint8_t> bytes_;
  Bytes copy_;
  bool read_all_ = false;
};

bool OpenedSource::LookAt(SourceFact fact, SourceFacts* facts) {
  bool holds = false;
  switch (fact) {
    case SourceFact::RawFontLength:
      holds = file_.length == kFontSize;
      break;
    case SourceFact::GameFileName:
      holds = FindTargetFile(FileNameOf(path_)) != nullptr;
      break;
    case SourceFact::EndsWithBlock:
      if (!ReadLastBlock(&holds))
        return false;
      break;
    case SourceFact::LongerThanAnyFont:
      holds = file_.length > kLargestFontFile;
      break;
    case SourceFact::BeginsLikeFormat:
      if (!ReadAll())
        return false;
      holds = BeginsLikeOtherFormat(bytes_);
      break;
    case SourceFact::HoldsRawFont:
      holds = file_.length >= kFontSize;
      break;
    case SourceFact::ShortcutName:
      holds = NamedAsShortcut(FileNameOf(path_));
      break;
    case SourceFact::IsProgram:
      if (!ReadAll())
        return false;
      holds = IsProgramImage(bytes_);
      break;
  }
  facts->Learn(fact, holds);
  return true;
}

// Bytes already read are read again from memory.
bool OpenedSource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> data) {
  if (!read_all_)
    return files_.ReadAt(file_.id, offset, data);
  if (offset > bytes_.size() || bytes_.size() - offset < data.size())
    return false;
  std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), data.size(),
              data.begin());
  return true;
}

// Whether the file's last bytes are a block, and its font if they are.
bool OpenedSource::ReadLastBlock(bool* carries) {
  *carries = false;
  if (file_.length < kFontBlockSize)
    return true;
  FontBlock block{};
  if (!ReadAt(file_.length - kFontBlockSize, block))
    return false;
  *carries = FontOfBlock(block, &carried_);
  return true;
}

// Where the platform holds the file in memory, it is read there.
bool OpenedSource::ReadAll() {
  if (read_all_)
    return true;
  bytes_ = files_.HeldBytes(file_.id);
  if (bytes_.size() != file_.length) {
    copy_.resize(static_cast<std::size_t>(file_.length));
    if (!files_.ReadAt(file_.id, 0, copy_))
      return false;
    bytes_ = copy_;
  }
  read_all_ = true;
  return true;
}

// The font of a game file, by its name: at the offset of its version.
std::string OpenedSource::FontOfGameFile(FontImage* font) {
  const TargetFile* target = FindTargetFile(FileNameOf(path_));
  const KnownVersion* version = FindVersion(*target, file_.length);
  if (version == nullptr)
    return SizeMessage(path_ + std::string(kSizeLabelEnd), file_.length);
  return ReadAt(version->font_offset, *font) ? std::string()
                                             : Unreadable(use_, path_);
}

std::string OpenedSource::Take(SourceTake take, CodePageUse* code_pages,
                               FontImage* font) {
  switch (take) {
    case SourceTake::Ask:
      break;
    case SourceTake::WholeFile:
    case SourceTake::FirstBytes:
      return ReadAt(0, *font) ? std::string() : Unreadable(use_, path_);
    case SourceTake::GameFont:
      return FontOfGameFile(font);
    case SourceTake::CarriedFont:
      *font = carried_;
      return std::string();
    case SourceTake::FontFile:
      if (!ReadAll())
        return Unreadable(use_, path_);
      return Problem(path_,
                     ReadFont(FileNameOf(path_), bytes_, code_pages, font));
    case SourceTake::TooLong:
      return TooLong(path_);
    case SourceTake::Shortcut:
      return Shortcut(path_);
    case SourceTake::Program:
      return Program(path_);
    case SourceTake::NotEightByEight:
      break;
  }
  return std::string(kFontNot8x8);
}

// The font of the opened file, by what the file is and what it is for, as
// the rules decide. Returns an empty string, or the message that says why
// there is none.
std::string FontOfSource(OpenedSource& source, const std::string& path,
                         SourceUse use, CodePageUse* code_pages,
                         FontImage* font) {
  SourceFacts facts;
  for (;;) {
    const SourceDecision decision = ClassifySource(use, facts);
    if (decision.take != SourceTake::Ask)
      return source.Take(decision.take, code_pages, font);
    if (!source.LookAt(decision.ask, &facts))
      return Unreadable(use, path);
  }
}

std::string FontOfFile(Files& files, const std::string& path,
                       const OpenedFile& file, SourceUse use,
                       CodePageUse* code_pages, FontImage* font) {
  OpenedSource source(files, path, file, use);
  return FontOfSource(source, path, use, code_pages, font);
}

// A pipe is read to its end, and its bytes taken as a file of them would
// be: `zyr2font <(zcat ru.psf.gz) game` as the unpacked file. One longer
// than any font file is none.
std::string FontOfStream(Files& files, const std::string& path,
                         const OpenedFile& stream, SourceUse use,
                         CodePageUse* code_pages, FontImage* font) {
  Bytes bytes;
  if (!files.ReadStream(stream.id, kLargestFontFile, &bytes)) {
    if (bytes.size() <= kLargestFontFile)
      return Unreadable(use, path);
    return use == SourceUse::Tool ? TooLong(path) : std::string(kFontNot8x8);
  }
  OpenedSource source(files, path, stream, use, bytes);
  return FontOfSource(source, path, use, code_pages, font);
}

}  // namespace

FontLoad LoadFontSource(Files& files, const std::string& path, SourceUse use,
                        FontImage* font, CodePageUse* code_pages,
                        std::string* refusal) {
  const bool tool = use == SourceUse::Tool;
  const OpenedFile file =
      files.Open(path, tool ? Naming::Exact : Naming::Spelled, OpenMode::Read);
  // Only the tools tell a folder or device from nothing; every use reads a
  // pipe.
  const bool open = file.found == Found::File || file.found == Found::Stream;
  if (file.found == Found::Absent ||
      (!tool && !open && file.found != Found::Refused))
    return FontLoad::Absent;
  std::string message;
  if (file.found == Found::Other || file.found == Found::Folder)
    message = NotAFontFile(path);
  else if (file.found == Found::Refused)
    message = Unreadable(use, path);
  else if (file.found == Found::Stream)
    message = FontOfStream(files, path, file, use, code_pages, font);
  else
    message = FontOfFile(files, path, file, use, code_pages, font);
  if (open && !files.Close(file.id) && message.empty())
    message = Unreadable(use, path);
  if (message.empty())
    return FontLoad::Loaded;
  *refusal = std::move(message);
  return FontLoad::Failed;
}

}  // namespace mdlReplace
