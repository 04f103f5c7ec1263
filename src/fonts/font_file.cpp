#include "fonts/font_file.h"

#include "fonts/formats.h"
#include "platform/show_error.h"

namespace mdlReplace {

namespace {

bool LengthFits(std::uint64_t length, FontLength accepted) {
  return accepted == FontLength::Exact ? length == kFontSize
                                       : length >= kFontSize;
}

}  // namespace

FontLoad LoadFontFile(Platform& platform, const std::string& path,
                      FontLength accepted, FontImage* font) {
  const OpenedFile file = platform.Open(path, Naming::Spelled, OpenMode::Read);
  if (file.found == Found::Absent)
    return FontLoad::Absent;
  if (file.found == Found::Refused) {
    ShowError(platform, kFontFileUnreadable);
    return FontLoad::Failed;
  }
  const bool fits = LengthFits(file.length, accepted);
  const bool read = fits && platform.ReadAt(file.id, 0, *font);
  const bool closed = platform.Close(file.id);
  if (!fits) {
    ShowError(platform, kFontNot8x8);
    return FontLoad::Failed;
  }
  if (!read || !closed) {
    ShowError(platform, kFontFileUnreadable);
    return FontLoad::Failed;
  }
  // Any longer file gives its first 2048 bytes; a PNG, PSF, BDF, gzip or
  // text font would so give its header as glyphs.
  if (accepted == FontLength::AtLeast && BeginsLikeOtherFormat(*font)) {
    ShowError(platform, kFontNot8x8);
    return FontLoad::Failed;
  }
  return FontLoad::Loaded;
}

}  // namespace mdlReplace
