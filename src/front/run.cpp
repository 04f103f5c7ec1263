#include "front/run.h"

#include "attached/attached_font.h"
#include "front/parser.h"
#include "front/show_error.h"

namespace mdlReplace {

namespace {

int EndWithError(Platform& platform, std::string_view message) {
  ShowError(platform, message);
  return kExitFailure;
}

bool LengthFits(std::uint64_t length, FontLength accepted) {
  return accepted == FontLength::Exact ? length == kFontSize
                                       : length >= kFontSize;
}

// Reads the opened font file; the file is closed whatever happens.
bool ReadFontFile(Platform& platform, FileId file, FontLength accepted,
                  FontImage* font) {
  std::uint64_t length = 0;
  const bool measured = platform.Length(file, &length);
  const bool fits = measured && LengthFits(length, accepted);
  const bool read = fits && platform.ReadAt(file, 0, *font);
  const bool closed = platform.Close(file);
  if (measured && !fits) {
    ShowError(platform, kFontNot8x8);
    return false;
  }
  if (!read || !closed) {
    ShowError(platform, kFontFileUnreadable);
    return false;
  }
  return true;
}

}  // namespace

bool LoadFontFile(Platform& platform, const std::string& path,
                  FontLength accepted, FontImage* font) {
  const FileId file = platform.Open(path, OpenMode::Read);
  if (file == kNoFile) {
    ShowError(platform, kFontFileUnreadable);
    return false;
  }
  return ReadFontFile(platform, file, accepted, font);
}

int RunProgram(Platform& platform) {
  const ParseResult parsed = ParseArgumentText(platform.ArgumentText());
  if (!parsed.rejection.empty())
    return EndWithError(platform, parsed.rejection);
  const RunRequest& request = parsed.request;

  if (request.kind == RunKind::Attach) {
    // The path goes as typed: it names a file of the user's, not the game's.
    return AttachFont(platform, request.font_path) ? kExitSuccess
                                                   : kExitFailure;
  }

  // Without arguments and without a font file in the current folder, the
  // font is the one carried by the program itself.
  const bool FontFromExecutable = request.kind == RunKind::Default &&
                                  !platform.FileExists(request.font_path);

  const std::string font_path = platform.UpperCase(request.font_path);
  const std::string game_folder =
      WithTrailingBackslash(platform.UpperCase(request.game_folder));

  FontImage font{};
  if (FontFromExecutable) {
    if (!ReadAttachedFont(platform, &font))
      return kExitFailure;
  } else {
    if (!platform.FileExists(font_path))
      return EndWithError(platform, kFontFileNotFound);
    if (!LoadFontFile(platform, font_path, FontLength::Exact, &font))
      return kExitFailure;
  }

  if (!PatchGameFolder(platform, game_folder, font))
    return kExitFailure;
  return kExitSuccess;
}

}  // namespace mdlReplace
