// Fuzzes the font readers with any bytes, as a file given to --convert or
// --show would be read, with a code page named or not, and checks what each
// answer says: a problem is worded to follow the file's name; a font that is
// read comes back the same through every format (through a PNG sheet when, as
// in real fonts, it has less ink than background), and draws in every way.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fonts/code_pages.h"
#include "fonts/drawing.h"
#include "fonts/formats.h"
#include "fonts/glyph_block.h"

namespace {

using mdlReplace::FontFormat;
using mdlReplace::FontImage;

void Require(bool condition, const char* what) {
  if (condition)
    return;
  std::fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}

std::size_t InkPixels(const FontImage& font) {
  std::size_t ink = 0;
  for (std::uint8_t row : font)
    ink += static_cast<std::size_t>(__builtin_popcount(row));
  return ink;
}

// The bytes as the picture of a block of 4 glyphs across and 2 down: one
// that is read goes into a font and comes out the same picture.
void ReadAsBlockPicture(std::span<const std::uint8_t> bytes) {
  const mdlReplace::GlyphBlock block = {
      {0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7}, 4};
  mdlReplace::Picture picture;
  const std::string problem =
      mdlReplace::ReadBlockPicture(bytes, block, &picture);
  if (!problem.empty()) {
    Require(problem.rfind("is ", 0) == 0 && problem.back() == '.',
            "a picture's problem reads as a sentence after the file's name");
    return;
  }
  FontImage font{};
  Require(mdlReplace::PutBlock(picture, block, &font),
          "a picture read is the block's size");
  Require(mdlReplace::CutBlock(font, block).pixels == picture.pixels,
          "a picture put into a block is cut from it the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  mdlReplace::BeginsLikeOtherFormat(bytes);
  ReadAsBlockPicture(bytes);
  FontImage font{};
  // Every other input with a code page named, so that fonts keyed by
  // characters are placed both ways.
  mdlReplace::CodePageUse code_pages;
  if (size % 2 == 1)
    code_pages.named = mdlReplace::FindCodePage(866);
  const std::string problem =
      mdlReplace::ReadFont("font", bytes, &code_pages, &font);
  Require(code_pages.codes_with_glyph <= 256, "at most 256 codes are placed");
  if (!problem.empty()) {
    // "NAME is ..." or, for a font without a glyph, "NAME has no glyph ...".
    const bool follows_name =
        problem.rfind("is ", 0) == 0 || problem.rfind("has ", 0) == 0;
    Require(follows_name && problem.back() == '.',
            "a problem reads as a sentence after the file's name");
    return 0;
  }
  // One format an input, by its length: all of them would slow the search.
  constexpr FontFormat kFormats[] = {FontFormat::Raw, FontFormat::Psf,
                                     FontFormat::Bdf, FontFormat::Png,
                                     FontFormat::Text};
  // Read back under the name of its own format: a sheet that happens to be
  // 2048 bytes long named .fnt would be a raw font.
  constexpr const char* kNames[] = {"font.fnt", "font.psf", "font.bdf",
                                    "font.png", "font.txt"};
  const FontFormat format = kFormats[size % 5];
  if (format != FontFormat::Png || InkPixels(font) * 2 < font.size() * 8) {
    FontImage again{};
    Require(mdlReplace::ReadFont(kNames[size % 5],
                                 mdlReplace::WriteFont(font, format), &again)
                .empty(),
            "what the program writes, it reads");
    Require(again == font, "a font comes back the same through every format");
  }
  const mdlReplace::Drawing drawing =
      static_cast<mdlReplace::Drawing>(size % 3);
  Require(!mdlReplace::DrawFont(font, drawing).empty(), "a font draws");
  return 0;
}
