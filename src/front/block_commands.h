// --convert and --merge of a block of glyphs, its codes in reading order
// (--codes) and its glyphs across (--width): the block written alone as a
// picture, and a picture put into a font's block.
#pragma once

#include <string>

#include "fonts/glyph_block.h"
#include "front/command_options.h"
#include "platform/platform.h"

namespace mdlReplace {

// The block that the options give.
GlyphBlock BlockOf(const ToolOptions& options);

// Writes SOURCE's block to DEST, a .png or .txt picture; the exit status.
int ConvertBlock(Platform& platform, const ToolOptions& options);

// Reads the picture file and puts it into the font's block; false after
// the message that says why not.
bool PutPictureFile(Platform& platform, const std::string& path,
                    const GlyphBlock& block, FontImage* font);

}  // namespace mdlReplace
