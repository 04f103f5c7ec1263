// A block of glyphs drawn as one picture, for what crosses glyph edges: a
// frame of box-drawing glyphs, a shade that must tile, a logo over several
// codes that the game's text sets side by side. The same for the program
// and the page.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "base/picture.h"
#include "fonts/font.h"
#include "fonts/formats.h"
#include "fonts/glyph_edits.h"

namespace mdlReplace {

// The codes of a block in reading order, and how many glyphs go across:
// glyph i sits at column i mod width and row i div width of a picture
// width x 8 pixels wide and a row of 8 pixels for every width glyphs (the
// last row perhaps part filled: its cells past the last code are paper).
struct GlyphBlock {
  std::vector<std::size_t> codes;
  std::size_t width = 1;
};

// How many rows of glyphs the block has.
std::size_t BlockRows(const GlyphBlock& block);

// The block's picture's size in pixels, a pixel a font pixel.
int BlockPictureWidth(const GlyphBlock& block);
int BlockPictureHeight(const GlyphBlock& block);

// The block's glyphs of the font as one picture, each pixel Ink or Paper.
Picture CutBlock(const FontImage& font, const GlyphBlock& block);

// Puts the picture's glyphs into the font at the block's codes, each
// glyph whole; the cells past the last code are not read. False, and the
// font as it was, when the picture is not the block's size.
bool PutBlock(const Picture& picture, const GlyphBlock& block, FontImage* font);

// The block's picture from an image's bytes (PNG, BMP or GIF), read by
// the font sheet's rules for ink and paper, drawn at the block's size or
// magnified by a whole factor up to 8. An empty string, or what is wrong,
// worded to follow the file's name ("is 40x16; 4 glyphs across and 2 down
// need 32x16, or a whole multiple of it.").
std::string ReadBlockPicture(std::span<const std::uint8_t> bytes,
                             const GlyphBlock& block, Picture* picture);

// Does a glyph transform to the picture as one: a shift moves pixels from
// glyph to glyph and loses those that leave the picture (nothing wraps),
// a flip mirrors the whole picture (so glyphs change places), bold spreads
// ink across glyph edges. A rotation turns only a square picture: false,
// and the picture as it was, for any other.
bool TransformPicture(GlyphTransform transform, Picture* picture);

// The picture as the program's text: a line a row of pixels, "#" ink and
// "." paper, each ended by a line feed.
Bytes WritePictureText(const Picture& picture);

}  // namespace mdlReplace
