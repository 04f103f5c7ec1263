#include "front/block_commands.h"

#include "fonts/image_picture.h"
#include "front/run_steps.h"
#include "front/tool_steps.h"
#include "messages/show_error.h"

namespace mdlReplace {

namespace {

std::string NotAPictureName(const std::string& path) {
  return path +
         " does not end with .png or .txt, the pictures a block is written "
         "as.";
}

std::string NotAPicture(const std::string& path) {
  return path + " is not a PNG, BMP or GIF image.";
}

std::string TooLong(const std::string& path) {
  return path + " is too long to be the picture of a block.";
}

// The picture file's bytes, or the message that says why there are none:
// a pipe is read to its end, or to the first byte past the longest.
std::string ReadPictureBytes(Platform& platform, const std::string& path,
                             Bytes* bytes) {
  const OpenedFile file = platform.Open(path, Naming::Exact, OpenMode::Read);
  std::string message = WhyNotOpened(file.found, path, NotAPicture(path));
  if (!message.empty())
    return message;
  if (file.found == Found::Stream) {
    if (!platform.ReadStream(file.id, kLargestFontFile, bytes))
      message =
          bytes->size() > kLargestFontFile ? TooLong(path) : Unreadable(path);
  } else if (file.length > kLargestFontFile) {
    message = TooLong(path);
  } else {
    bytes->resize(static_cast<std::size_t>(file.length));
    if (!platform.ReadAt(file.id, 0, *bytes))
      message = Unreadable(path);
  }
  if (!platform.Close(file.id) && message.empty())
    message = Unreadable(path);
  return message;
}

}  // namespace

GlyphBlock BlockOf(const ToolOptions& options) {
  return GlyphBlock{options.code_list, options.width};
}

// The destination is named before the source is read, so that a name
// that would take the picture for a font costs no reading.
int ConvertBlock(Platform& platform, const ToolOptions& options) {
  const std::string& destination = options.files[1];
  FontFormat format = FontFormat::Raw;
  if (!FormatOfExtension(destination, &format) ||
      (format != FontFormat::Png && format != FontFormat::Text))
    return EndWithError(platform, NotAPictureName(destination));
  CodePageUse code_pages = options.code_pages;
  FontImage font{};
  if (!ReadSourceFont(platform, options.files[0], &code_pages, &font))
    return kExitFailure;
  const Picture picture = CutBlock(font, BlockOf(options));
  return WriteWhole(platform, destination,
                    format == FontFormat::Png ? WritePicturePng(picture)
                                              : WritePictureText(picture));
}

bool PutPictureFile(Platform& platform, const std::string& path,
                    const GlyphBlock& block, FontImage* font) {
  Bytes bytes;
  std::string message = ReadPictureBytes(platform, path, &bytes);
  Picture picture;
  if (message.empty()) {
    const std::string problem = ReadBlockPicture(bytes, block, &picture);
    message = problem.empty() ? problem : path + " " + problem;
  }
  // A picture read is the block's size; were it not, no font is written
  // of it.
  if (message.empty() && !PutBlock(picture, block, font))
    message = Unreadable(path);
  if (!message.empty())
    ShowError(platform, message);
  return message.empty();
}

}  // namespace mdlReplace
