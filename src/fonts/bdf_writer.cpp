// BDF as this program writes it, for X, bitmap-font editors and the Linux
// console's font tools.
#include <string>
#include <string_view>

#include "fonts/code_pages.h"
#include "fonts/codecs.h"

namespace mdlReplace {

namespace {

// The font as this program writes it: 8x8 cells whose baseline is one row
// above the bottom, with the properties that X and the Linux console's
// font tools look for. It is keyed by Unicode, each code's glyph at the
// code's character in the game's code page: editors keep the codes of a
// font of that registry, and FreeType maps characters for it. The default
// character, drawn for one the font lacks, is the space, which every code
// page has at 0x20.
constexpr std::string_view kHeader =
    "STARTFONT 2.1\n"
    "FONT -zyr2font-ZYR2-Medium-R-Normal--8-80-72-72-C-80-ISO10646-1\n"
    "SIZE 8 72 72\n"
    "FONTBOUNDINGBOX 8 8 0 -1\n"
    "STARTPROPERTIES 19\n"
    "FOUNDRY \"zyr2font\"\n"
    "FAMILY_NAME \"ZYR2\"\n"
    "WEIGHT_NAME \"Medium\"\n"
    "SLANT \"R\"\n"
    "SETWIDTH_NAME \"Normal\"\n"
    "ADD_STYLE_NAME \"\"\n"
    "PIXEL_SIZE 8\n"
    "POINT_SIZE 80\n"
    "RESOLUTION_X 72\n"
    "RESOLUTION_Y 72\n"
    "SPACING \"C\"\n"
    "AVERAGE_WIDTH 80\n"
    "CHARSET_REGISTRY \"ISO10646\"\n"
    "CHARSET_ENCODING \"1\"\n"
    "FONT_ASCENT 7\n"
    "FONT_DESCENT 1\n"
    "DEFAULT_CHAR 32\n"
    "CAP_HEIGHT 7\n"
    "X_HEIGHT 5\n"
    "ENDPROPERTIES\n"
    "CHARS 256\n";
constexpr std::string_view kGlyphHeader =
    "SWIDTH 1000 0\n"
    "DWIDTH 8 0\n"
    "BBX 8 8 0 -1\n"
    "BITMAP\n";

}  // namespace

Bytes WriteBdf(const FontImage& font, const CodePage& code_page,
               std::string_view) {
  std::string text(kHeader);
  for (std::size_t code = 0; code < kGlyphCount; ++code) {
    text += std::string("STARTCHAR C") + HexByte(code) + "\n";
    text += std::string("ENCODING ") +
            std::to_string(CharacterOfCode(code_page, code)) + "\n";
    text += kGlyphHeader;
    for (std::size_t row = 0; row < kGlyphSize; ++row)
      text += HexByte(font[code * kGlyphSize + row]) + "\n";
    text += "ENDCHAR\n";
  }
  text += "ENDFONT\n";
  return Bytes(text.begin(), text.end());
}

}  // namespace mdlReplace
