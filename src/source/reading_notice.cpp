#include "source/reading_notice.h"

#include "base/text_lines.h"
#include "fonts/code_pages.h"
#include "fonts/font.h"

namespace mdlReplace {

bool LeftCodesBlank(const CodePageUse& use) {
  return use.used != nullptr && use.codes_with_glyph < kGlyphCount;
}

std::string CodesWithGlyph(const std::string& path, const CodePageUse& use) {
  return path + ": " + std::to_string(use.codes_with_glyph) + " of " +
         std::to_string(kGlyphCount) + " codes have a glyph in code page " +
         std::to_string(use.used->number) + ".";
}

std::string PlacedInCells(const std::string& path, const CodePageUse& use) {
  if (use.smaller.width == 0)
    return std::string();
  return path + " has " + std::to_string(use.smaller.width) + "x" +
         std::to_string(use.smaller.height) +
         " glyphs; they are placed in 8x8 cells.";
}

// A font of a character set the program has no table of keeps its codes,
// whatever code page is named: said, since a font of one it has is placed.
std::string KeepsItsCodes(const std::string& path, const CodePageUse& use) {
  if (use.named == nullptr || use.own_charset.empty() || use.used != nullptr)
    return std::string();
  return path + " is a font of " + use.own_charset +
         ", which this program has no table of: its glyphs keep their codes, "
         "not placed by code page " +
         std::to_string(use.named->number) + ".";
}

std::string ReadingNotice(const std::string& path, const CodePageUse& use) {
  std::string notice = PlacedInCells(path, use);
  const std::string keeps = KeepsItsCodes(path, use);
  if (!keeps.empty())
    notice += (notice.empty() ? "" : std::string(kLineBreak)) + keeps;
  if (LeftCodesBlank(use)) {
    if (!notice.empty())
      notice += kLineBreak;
    notice += CodesWithGlyph(path, use);
  }
  return notice;
}

}  // namespace mdlReplace
