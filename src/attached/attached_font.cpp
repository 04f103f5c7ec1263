#include "attached/attached_font.h"

#include <algorithm>
#include <array>

#include "attached/font_block.h"
#include "messages/show_error.h"
#include "platform/replace_file.h"

namespace mdlReplace {

namespace {

FontBlock MakeFontBlock(const FontImage& font) {
  FontBlock block{};
  std::copy(FontBlockMarker.begin(), FontBlockMarker.end(), block.begin());
  std::copy(font.begin(), font.end(), block.begin() + FontBlockMarker.size());
  return block;
}

// A running program cannot be written in place, and a program half written
// by a crash or a full disk would not start again: the new one is written
// whole beside it and takes its place in one step.
bool ReplaceWithAppended(Platform& platform, const std::string& path,
                         const OpenedFile& program, const FontBlock& block) {
  return ReplaceFile(platform, path, [&](FileId copy) {
           return platform.CopyInto(program.id, copy, program.length) &&
                  platform.WriteAt(copy, program.length, block) == block.size();
         }) == Replacement::Done;
}

// Attaches that run at once take turns: each holds the lock on the program
// from reading it to putting its successor in place, so none builds on a
// program that another is replacing.
bool AppendBlock(Platform& platform, const std::string& path,
                 const FontBlock& block) {
  const OpenedFile program = platform.OpenLocked(path);
  if (program.found != Found::File)
    return false;
  const bool replaced = ReplaceWithAppended(platform, path, program, block);
  // Closing gives up the lock; the program was only read, so a failing
  // close changes nothing.
  platform.Close(program.id);
  return replaced;
}

// The last bytes of the running program, when it is long enough to hold a
// block.
bool ReadLastBlock(Platform& platform, FontBlock* block) {
  const OpenedFile program = platform.OpenRunningProgram();
  if (program.found != Found::File)
    return false;
  const bool read =
      program.length >= kFontBlockSize &&
      platform.ReadAt(program.id, program.length - kFontBlockSize, *block);
  const bool closed = platform.Close(program.id);
  return read && closed;
}

}  // namespace

bool AttachFont(Platform& platform, const FontImage& font) {
  if (!AppendBlock(platform, platform.ProgramExecutablePath(),
                   MakeFontBlock(font))) {
    ShowError(platform, kAttachFailed);
    return false;
  }
  return true;
}

bool ReadAttachedFont(Platform& platform, FontImage* font) {
  FontBlock block{};
  if (!ReadLastBlock(platform, &block) || !FontOfBlock(block, font)) {
    ShowError(platform, kNoAttachedFont);
    return false;
  }
  return true;
}

}  // namespace mdlReplace
