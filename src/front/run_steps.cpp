#include "front/run_steps.h"

#include "front/administrator.h"
#include "front/font_advice.h"
#include "messages/show_error.h"
#include "patcher/patcher.h"
#include "source/reading_notice.h"

namespace mdlReplace {

int EndWithError(User& user, std::string_view message) {
  ShowError(user, message);
  return kExitFailure;
}

FontLoad LoadRunFont(Files& files, const std::string& path, SourceUse use,
                     RunFont* font, std::string* refusal) {
  CodePageUse code_pages;
  const FontLoad load =
      LoadFontSource(files, path, use, &font->glyphs, &code_pages, refusal);
  font->path = path;
  font->notice = load == FontLoad::Loaded ? ReadingNotice(path, code_pages)
                                          : std::string();
  return load;
}

bool ReadNamedFont(Platform& platform, const std::string& path, SourceUse use,
                   RunFont* font) {
  std::string refusal;
  switch (LoadRunFont(platform, path, use, font, &refusal)) {
    case FontLoad::Absent:
      ShowError(platform, kFontFileNotFound);
      return false;
    case FontLoad::Failed:
      // A player who dropped a photo learns which file it was.
      ShowError(platform, use == SourceUse::Drop
                              ? DroppedFontRefused(refusal, path)
                              : refusal);
      return false;
    case FontLoad::Loaded:
      break;
  }
  return true;
}

void TellReading(User& user, const std::string& notice) {
  if (!notice.empty())
    ShowNotice(user, notice);
}

int PatchGame(Platform& platform, const std::string& game_folder,
              const RunFont& font) {
  if (!PatchGameFolder(platform, platform, game_folder, font.glyphs,
                       PatchAsAdministrator(platform, font.path, game_folder))
           .any_patched)
    return kExitFailure;
  TellReading(platform, font.notice);
  return kExitSuccess;
}

}  // namespace mdlReplace
