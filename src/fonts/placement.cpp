#include "fonts/placement.h"

#include <algorithm>

namespace mdlReplace {

bool FitsCell(std::int64_t width, std::int64_t height) {
  const std::int64_t cell = kGlyphSize;
  return width >= kNarrowestCell && height >= kLowestCell && width <= cell &&
         height <= cell;
}

std::int64_t RowsBelowBaseline(std::int64_t ascent, std::int64_t descent) {
  const std::int64_t cell = kGlyphSize;
  return std::min(std::max<std::int64_t>(descent, 1), cell - ascent);
}

void NoteGlyphSize(CodePageUse* use, std::int64_t width, std::int64_t height) {
  const std::int64_t cell = kGlyphSize;
  if (width != cell || height != cell)
    use->smaller = GlyphSize{width, height};
}

std::string LackedTable(const CodePageUse& use) {
  return "is keyed by characters, and this program has no table of code "
         "page " +
         std::to_string(use.named_without_table) +
         " to place them by: it has " + CodePageNumbers() + ".";
}

GlyphPlacer::GlyphPlacer(CodePageUse* use, FontImage* font)
    : use_(use), font_(font) {
  font_->fill(0);
  no_characters_.number = use_->named_without_table;
  const bool without_table =
      use_->named == nullptr && no_characters_.number != 0;
  use_->used = without_table ? nullptr : &code_page();
  use_->codes_with_glyph = 0;
}

const CodePage& GlyphPlacer::code_page() const {
  if (use_->named != nullptr)
    return *use_->named;
  if (no_characters_.number == 0)
    return *FindCodePage(kDefaultCodePage);
  // A glyph is to be placed by a character: the table is needed, and
  // there is none.
  use_->lacked_table = true;
  return no_characters_;
}

bool GlyphPlacer::CodeFor(char32_t character, std::size_t* code) const {
  return CodeOfCharacter(code_page(), character, code) ||
         DirectCode(character, code);
}

void GlyphPlacer::PlaceCharacter(char32_t character, const Glyph& glyph) {
  std::size_t code = 0;
  if (CodeFor(character, &code))
    PlaceAtCode(code, glyph);
}

void GlyphPlacer::PlaceFromCodePage(const CodePage& source, std::size_t code,
                                    const Glyph& glyph) {
  if (&source == &code_page())
    PlaceAtCode(code, glyph);
  else
    PlaceCharacter(source.characters[code], glyph);
}

void GlyphPlacer::PlaceAtCode(std::size_t code, const Glyph& glyph) {
  if (code >= kGlyphCount || placed_[code])
    return;
  placed_.set(code);
  use_->codes_with_glyph = placed_.count();
  std::copy(glyph.begin(), glyph.end(),
            font_->begin() + static_cast<std::ptrdiff_t>(code * kGlyphSize));
}

}  // namespace mdlReplace
