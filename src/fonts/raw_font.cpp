// A raw font: the 2048 bytes the game holds, glyph after glyph, taken and
// written as they are.
#include <algorithm>

#include "fonts/codecs.h"

namespace mdlReplace {

std::string RawFontLength(std::size_t length) {
  return std::string("is taken for a raw font, but is ") +
         std::to_string(length) + " bytes long, not 2048.";
}

std::string ReadRawFont(std::span<const std::uint8_t> bytes, CodePageUse*,
                        FontImage* font) {
  if (bytes.size() != kFontSize)
    return RawFontLength(bytes.size());
  std::copy(bytes.begin(), bytes.end(), font->begin());
  return std::string();
}

Bytes WriteRawFont(const FontImage& font, const CodePage&, std::string_view) {
  return Bytes(font.begin(), font.end());
}

}  // namespace mdlReplace
