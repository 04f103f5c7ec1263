#include "front/font_source.h"

#include <algorithm>

#include "base/names.h"
#include "fonts/code_pages.h"
#include "fonts/formats.h"
#include "patcher/patcher.h"
#include "platform/show_error.h"

namespace mdlReplace {

namespace {

// Between the lines of a message, as the message box takes them.
constexpr std::string_view kLineBreak = "\r\n";

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

// The message when a reader finds something wrong, after the file's name.
std::string Problem(const std::string& path, const std::string& problem) {
  return problem.empty() ? problem : path + " " + problem;
}

// The font of a game file, by its name: at the offset of its version.
std::string FontOfGameFile(Platform& platform, const std::string& path,
                           const OpenedFile& file, const TargetFile& target,
                           SourceUse use, FontImage* font) {
  const KnownVersion* version = FindVersion(target, file.length);
  if (version == nullptr)
    return SizeMessage(path + std::string(kSizeLabelEnd), file.length);
  return platform.ReadAt(file.id, version->font_offset, *font)
             ? std::string()
             : Unreadable(use, path);
}

// The font of the file's last block, when it ends with one; false when it
// does not.
bool ReadLastBlock(Platform& platform, const OpenedFile& file, FontImage* font,
                   bool* read) {
  *read = true;
  if (file.length < kFontBlockSize)
    return false;
  FontBlock block{};
  *read = platform.ReadAt(file.id, file.length - kFontBlockSize, block);
  return !*read || FontOfBlock(block, font);
}

// A file in no font format, for a patch run or an attach, from its first
// bytes: what is taken of it, if anything.
std::string FontOfOtherFile(std::span<const std::uint8_t> head, SourceUse use,
                            FontImage* font) {
  if (use != SourceUse::Attach || head.size() < kFontSize)
    return std::string(kFontNot8x8);
  std::copy(head.begin(), head.begin() + kFontSize, font->begin());
  return std::string();
}

// The font of the opened file, by what the file is: a patch run's raw font;
// a game file, by its name; a program that carries a font; a font file, by
// its name and content. Returns an empty string, or the message that says
// why there is none.
std::string FontOfFile(Platform& platform, const std::string& path,
                       const OpenedFile& file, SourceUse use,
                       CodePageUse* code_pages, FontImage* font) {
  if (use == SourceUse::Patch && file.length == kFontSize)
    return platform.ReadAt(file.id, 0, *font) ? std::string()
                                              : Unreadable(use, path);
  if (const TargetFile* target = FindTargetFile(FileNameOf(path)))
    return FontOfGameFile(platform, path, file, *target, use, font);
  bool read = true;
  if (ReadLastBlock(platform, file, font, &read))
    return read ? std::string() : Unreadable(use, path);
  // Every use recognises a font file alike, from all its bytes. A longer
  // file is no font file: the tools refuse it, an attach takes its first
  // bytes.
  const bool too_long = file.length > kLargestFontFile;
  if (too_long && use == SourceUse::Tool)
    return TooLong(path);
  // Where the platform holds the file in memory, it is read there.
  std::span<const std::uint8_t> bytes = platform.HeldBytes(file.id);
  Bytes copy;
  if (too_long || bytes.size() != file.length) {
    copy.resize(too_long ? kFontSize : static_cast<std::size_t>(file.length));
    if (!platform.ReadAt(file.id, 0, copy))
      return Unreadable(use, path);
    bytes = copy;
  }
  if (too_long || (use != SourceUse::Tool && !BeginsLikeOtherFormat(bytes)))
    return FontOfOtherFile(bytes, use, font);
  return Problem(path, ReadFont(FileNameOf(path), bytes, code_pages, font));
}

// A pipe holds a font file, read to its end.
std::string FontOfStream(Platform& platform, const std::string& path,
                         const OpenedFile& stream, CodePageUse* code_pages,
                         FontImage* font) {
  Bytes bytes;
  if (!platform.ReadStream(stream.id, kLargestFontFile, &bytes))
    return bytes.size() > kLargestFontFile ? TooLong(path)
                                           : Unreadable(SourceUse::Tool, path);
  return Problem(path, ReadFont(FileNameOf(path), bytes, code_pages, font));
}

}  // namespace

bool LeftCodesBlank(const CodePageUse& use) {
  return use.used != nullptr && use.codes_with_glyph < kGlyphCount;
}

std::string CodesWithGlyph(const std::string& path, const CodePageUse& use) {
  return path + ": " + std::to_string(use.codes_with_glyph) + " of " +
         std::to_string(kGlyphCount) + " codes have a glyph in code page " +
         std::to_string(use.used->number) + ".";
}

std::string PlacedInCells(const std::string& path, const CodePageUse& use) {
  if (use.smaller.width == 0)
    return std::string();
  return path + " has " + std::to_string(use.smaller.width) + "x" +
         std::to_string(use.smaller.height) +
         " glyphs; they are placed in 8x8 cells.";
}

std::string ReadingNotice(const std::string& path, const CodePageUse& use) {
  std::string notice = PlacedInCells(path, use);
  if (LeftCodesBlank(use)) {
    if (!notice.empty())
      notice += kLineBreak;
    notice += CodesWithGlyph(path, use);
  }
  return notice;
}

FontLoad ReadFontSource(Platform& platform, const std::string& path,
                        SourceUse use, FontImage* font) {
  CodePageUse code_pages;
  return ReadFontSource(platform, path, use, font, &code_pages);
}

FontLoad ReadFontSource(Platform& platform, const std::string& path,
                        SourceUse use, FontImage* font,
                        CodePageUse* code_pages) {
  const bool tool = use == SourceUse::Tool;
  const OpenedFile file = platform.Open(
      path, tool ? Naming::Exact : Naming::Spelled, OpenMode::Read);
  // Only the tools read a pipe, or tell a folder or device from nothing.
  const bool open = file.found == Found::File || file.found == Found::Stream;
  if (file.found == Found::Absent ||
      (!tool && file.found != Found::File && file.found != Found::Refused)) {
    if (open)
      platform.Close(file.id);
    return FontLoad::Absent;
  }
  std::string message;
  if (file.found == Found::Other || file.found == Found::Folder)
    message = NotAFontFile(path);
  else if (file.found == Found::Refused)
    message = Unreadable(use, path);
  else if (file.found == Found::Stream)
    message = FontOfStream(platform, path, file, code_pages, font);
  else
    message = FontOfFile(platform, path, file, use, code_pages, font);
  if (open && !platform.Close(file.id) && message.empty())
    message = Unreadable(use, path);
  if (message.empty())
    return FontLoad::Loaded;
  ShowError(platform, message);
  return FontLoad::Failed;
}

}  // namespace mdlReplace
