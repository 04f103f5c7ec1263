// The page's way to a block of glyphs as one picture: the same core
// functions as --convert and --merge with --codes and --width, so that the
// page and the program give the same bytes. A block comes as its codes, a
// byte each in reading order, and its glyphs across; a picture as its
// pixels, a byte each (0 paper, 1 ink), row by row from the top.
#include <algorithm>
#include <string>

#include "answer.h"
#include "fonts/glyph_block.h"
#include "fonts/image_picture.h"

namespace {

using mdlReplace::FontImage;
using mdlReplace::GlyphBlock;
using mdlReplace::Picture;
using mdlReplace::web::Answer;
using mdlReplace::web::Input;

// A block's codes each once, and no more glyphs across than codes; false
// for any other.
bool BlockOf(const std::uint8_t* codes, int count, int width,
             GlyphBlock* block) {
  if (count < 1 || width < 1 || width > count)
    return false;
  block->codes.assign(codes, codes + count);
  block->width = static_cast<std::size_t>(width);
  std::vector<std::size_t> sorted = block->codes;
  std::sort(sorted.begin(), sorted.end());
  return std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
}

FontImage FontAt(const std::uint8_t* bytes) {
  FontImage font{};
  std::copy_n(bytes, font.size(), font.begin());
  return font;
}

Picture PictureAt(const std::uint8_t* pixels, int width, int height) {
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) *
                                             static_cast<std::size_t>(height));
  return picture;
}

void GiveFont(const FontImage& font, Answer* answer) {
  answer->done = 1;
  answer->bytes.assign(font.begin(), font.end());
}

}  // namespace

// The block's picture: its pixels, the figure its width.
extern "C" __attribute__((export_name("zyr2_block_cut"))) Answer* BlockCut(
    const std::uint8_t* font, const std::uint8_t* codes, int count, int width) {
  Answer* answer = new Answer;
  GlyphBlock block;
  if (!BlockOf(codes, count, width, &block))
    return answer;
  const Picture picture = mdlReplace::CutBlock(FontAt(font), block);
  answer->done = 1;
  answer->figure = picture.width;
  answer->bytes = picture.pixels;
  return answer;
}

// The font with the picture, of the block's size, in the block.
extern "C" __attribute__((export_name("zyr2_block_put"))) Answer* BlockPut(
    const std::uint8_t* font, const std::uint8_t* codes, int count, int width,
    const std::uint8_t* pixels, int pixel_width, int pixel_height) {
  Answer* answer = new Answer;
  GlyphBlock block;
  FontImage put = FontAt(font);
  if (BlockOf(codes, count, width, &block) &&
      mdlReplace::PutBlock(PictureAt(pixels, pixel_width, pixel_height), block,
                           &put))
    GiveFont(put, answer);
  return answer;
}

// The picture with a glyph transform done to it as one, by the number
// kGlyphTransformNames gives it; not done for a rotation of a picture
// that is not square.
extern "C" __attribute__((export_name("zyr2_block_transform"))) Answer*
BlockTransform(const std::uint8_t* pixels, int width, int height,
               int transform) {
  Answer* answer = new Answer;
  if (transform < 0 || transform >= mdlReplace::kGlyphTransforms || width < 1 ||
      height < 1)
    return answer;
  Picture picture = PictureAt(pixels, width, height);
  if (!mdlReplace::TransformPicture(
          static_cast<mdlReplace::GlyphTransform>(transform), &picture))
    return answer;
  answer->done = 1;
  answer->bytes = picture.pixels;
  return answer;
}

// The block's picture as --convert writes it to a .png.
extern "C" __attribute__((export_name("zyr2_block_png"))) Answer* BlockPng(
    const std::uint8_t* font, const std::uint8_t* codes, int count, int width) {
  Answer* answer = new Answer;
  GlyphBlock block;
  if (!BlockOf(codes, count, width, &block))
    return answer;
  answer->done = 1;
  answer->bytes =
      mdlReplace::WritePicturePng(mdlReplace::CutBlock(FontAt(font), block));
  return answer;
}

// The font with the input's one file, a picture, in the block, as --merge
// puts it; the text says why not, after the file's name.
extern "C" __attribute__((export_name("zyr2_block_read"))) Answer* BlockRead(
    Input* input, const std::uint8_t* font, const std::uint8_t* codes,
    int count, int width) {
  Answer* answer = new Answer;
  const std::string name = input->files.at(0).first;
  const mdlReplace::MemoryPlatform::File file =
      std::move(input->files.at(0).second);
  delete input;
  GlyphBlock block;
  if (!BlockOf(codes, count, width, &block))
    return answer;
  Picture picture;
  const std::string problem =
      file.bytes_at != 0
          ? "is too long to be the picture of a block."
          : mdlReplace::ReadBlockPicture(file.bytes, block, &picture);
  FontImage put = FontAt(font);
  if (!problem.empty() || !mdlReplace::PutBlock(picture, block, &put)) {
    answer->text = name + " " + problem;
    return answer;
  }
  GiveFont(put, answer);
  return answer;
}
