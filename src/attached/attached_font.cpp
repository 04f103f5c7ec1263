#include "attached/attached_font.h"

#include <algorithm>
#include <array>

#include "attached/font_block.h"
#include "base/names.h"
#include "base/text_lines.h"
#include "messages/show_error.h"
#include "messages/write_refusal.h"
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
bool ReplaceWithAppended(Replacer& replacer, const std::string& path,
                         const OpenedFile& program, const FontBlock& block,
                         WriteRefusal* why) {
  why->room = program.length + block.size();
  return ReplaceFile(
             replacer, path,
             [&](FileId copy) {
               return replacer.CopyInto(program.id, copy, program.length) &&
                      replacer.WriteAt(copy, program.length, block) ==
                          block.size();
             },
             why) == Replacement::Done;
}

// Attaches that run at once take turns: each holds the lock on the program
// from reading it to putting its successor in place, so none builds on a
// program that another is replacing.
bool AppendBlock(Replacer& replacer, const std::string& path,
                 const FontBlock& block, WriteRefusal* why) {
  const OpenedFile program = replacer.OpenLocked(path);
  if (program.found != Found::File)
    return false;
  const bool replaced =
      ReplaceWithAppended(replacer, path, program, block, why);
  // Closing gives up the lock; the program was only read, so a failing
  // close changes nothing.
  replacer.Close(program.id);
  return replaced;
}

// The last bytes of the running program, when it is long enough to hold a
// block.
bool ReadLastBlock(CommandLine& program, Files& files, FontBlock* block) {
  const OpenedFile running = program.OpenRunningProgram();
  if (running.found != Found::File)
    return false;
  const bool read =
      running.length >= kFontBlockSize &&
      files.ReadAt(running.id, running.length - kFontBlockSize, *block);
  const bool closed = files.Close(running.id);
  return read && closed;
}

}  // namespace

bool AttachFont(Replacer& replacer, User& user, const std::string& program,
                const FontImage& font,
                const AsAdministrator& as_administrator) {
  WriteRefusal why;
  if (AppendBlock(replacer, program, MakeFontBlock(font), &why))
    return true;
  std::string message(kAttachFailed);
  const std::string what_to_do =
      WhatToDo(why, RefusedFile::Program, FileNameOf(program),
               ShownFolderOf(program), as_administrator);
  if (!what_to_do.empty())
    message += std::string(kLineBreak) + what_to_do;
  ShowError(user, message);
  return false;
}

bool FindAttachedFont(CommandLine& program, Files& files, FontImage* font) {
  FontBlock block{};
  return ReadLastBlock(program, files, &block) && FontOfBlock(block, font);
}

bool ReadAttachedFont(CommandLine& program, Files& files, User& user,
                      FontImage* font) {
  if (FindAttachedFont(program, files, font))
    return true;
  ShowError(user, kNoAttachedFont);
  return false;
}

}  // namespace mdlReplace
