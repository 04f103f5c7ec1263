#include "front/run.h"

#include "front/parser.h"
#include "front/show_error.h"

namespace mdlReplace {

namespace {

int EndWithError(Platform& platform, std::string_view message) {
  ShowError(platform, message);
  return kExitFailure;
}

std::string WithTrailingBackslash(std::string folder) {
  if (folder.empty() || folder.back() != '\\')
    folder += '\\';
  return folder;
}

// Reads the opened font file; the file is closed whatever happens.
bool ReadFontFile(Platform& platform, FileId file, FontImage* font) {
  std::uint64_t length = 0;
  if (!platform.Length(file, &length)) {
    platform.Close(file);
    ShowError(platform, kFontFileUnreadable);
    return false;
  }
  if (length != kFontSize) {
    platform.Close(file);
    ShowError(platform, kFontNot8x8);
    return false;
  }
  const bool read = platform.ReadAt(file, 0, *font);
  const bool closed = platform.Close(file);
  if (!read || !closed) {
    ShowError(platform, kFontFileUnreadable);
    return false;
  }
  return true;
}

}  // namespace

bool LoadFontFile(Platform& platform, const std::string& path,
                  FontImage* font) {
  const FileId file = platform.Open(path, OpenMode::Read);
  if (file == kNoFile) {
    ShowError(platform, kFontFileUnreadable);
    return false;
  }
  return ReadFontFile(platform, file, font);
}

int RunProgram(Platform& platform) {
  const ParseResult parsed = ParseArgumentText(platform.ArgumentText());
  if (!parsed.rejection.empty())
    return EndWithError(platform, parsed.rejection);
  const RunRequest& request = parsed.request;

  const std::string font_path = platform.UpperCase(request.font_path);
  const std::string game_folder =
      WithTrailingBackslash(platform.UpperCase(request.game_folder));

  if (!platform.FileExists(font_path))
    return EndWithError(platform, kFontFileNotFound);
  FontImage font{};
  if (!LoadFontFile(platform, font_path, &font))
    return kExitFailure;

  if (!PatchGameFolder(platform, game_folder, font))
    return kExitFailure;
  return kExitSuccess;
}

}  // namespace mdlReplace
