#include "attached/attached_font.h"

#include <algorithm>
#include <span>
#include <vector>

#include "front/run.h"
#include "front/show_error.h"

namespace mdlReplace {

namespace {

using FontBlock = std::array<std::uint8_t, kFontBlockSize>;

FontBlock MakeFontBlock(const FontImage& font) {
  FontBlock block{};
  std::copy(FontBlockMarker.begin(), FontBlockMarker.end(), block.begin());
  std::copy(font.begin(), font.end(), block.begin() + FontBlockMarker.size());
  return block;
}

bool ReadWholeFile(Platform& platform, const std::string& path,
                   std::vector<std::uint8_t>* bytes) {
  const FileId file = platform.Open(path, OpenMode::Read);
  if (file == kNoFile)
    return false;
  std::uint64_t length = 0;
  bool read = platform.Length(file, &length);
  if (read) {
    bytes->resize(length);
    read = platform.ReadAt(file, 0, *bytes);
  }
  const bool closed = platform.Close(file);
  return read && closed;
}

// A running program cannot be written in place, and a program half written
// by a crash or a full disk would not start again. So the new executable is
// written whole beside the old one and then takes its place in one step;
// on any failure the copy is removed and the old one stays as it was.
bool ReplaceWithAppended(Platform& platform, const std::string& path,
                         std::span<const std::uint8_t> old_bytes,
                         std::span<const std::uint8_t> appended) {
  std::string copy_path;
  const FileId copy = platform.CreateBeside(path, &copy_path);
  if (copy == kNoFile)
    return false;
  const bool written = platform.WriteAt(copy, 0, old_bytes) &&
                       platform.WriteAt(copy, old_bytes.size(), appended) &&
                       platform.Flush(copy);
  const bool closed = platform.Close(copy);
  if (written && closed && platform.PutInPlace(copy_path, path))
    return true;
  platform.RemoveFile(copy_path);
  return false;
}

// The last bytes of the file, when it is long enough to hold a block.
bool ReadLastBlock(Platform& platform, const std::string& path,
                   FontBlock* block) {
  const FileId file = platform.Open(path, OpenMode::Read);
  if (file == kNoFile)
    return false;
  std::uint64_t length = 0;
  const bool read = platform.Length(file, &length) &&
                    length >= kFontBlockSize &&
                    platform.ReadAt(file, length - kFontBlockSize, *block);
  const bool closed = platform.Close(file);
  return read && closed;
}

}  // namespace

bool AttachFont(Platform& platform, const std::string& font_path) {
  // Missing or short data would make a broken block inside the program.
  if (!platform.FileExists(font_path)) {
    ShowError(platform, kFontFileNotFound);
    return false;
  }
  FontImage font{};
  if (!LoadFontFile(platform, font_path, FontLength::AtLeast, &font))
    return false;

  const std::string program = platform.ProgramExecutablePath();
  std::vector<std::uint8_t> executable;
  const FontBlock block = MakeFontBlock(font);
  if (!ReadWholeFile(platform, program, &executable) ||
      !ReplaceWithAppended(platform, program, executable, block)) {
    ShowError(platform, kAttachFailed);
    return false;
  }
  return true;
}

bool ReadAttachedFont(Platform& platform, FontImage* font) {
  FontBlock block{};
  if (!ReadLastBlock(platform, platform.ProgramExecutablePath(), &block) ||
      !std::equal(FontBlockMarker.begin(), FontBlockMarker.end(),
                  block.begin())) {
    ShowError(platform, kNoAttachedFont);
    return false;
  }
  std::copy(block.begin() + FontBlockMarker.size(), block.end(), font->begin());
  return true;
}

}  // namespace mdlReplace
