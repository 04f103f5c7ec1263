#include "fonts/placement.h"

#include <algorithm>

#include "base/names.h"

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

namespace {

constexpr std::string_view kCodePagePrefix = "CP";

// The number of a code page a name gives ("CP1251", in any case); 0 for
// none.
int CodePageNamed(std::string_view name) {
  if (name.size() <= kCodePagePrefix.size() || name.size() > 6 ||
      !EqualIgnoringAsciiCase(name.substr(0, 2), kCodePagePrefix))
    return 0;
  int number = 0;
  for (const char digit : name.substr(kCodePagePrefix.size())) {
    if (digit < '0' || digit > '9')
      return 0;
    number = number * 10 + (digit - '0');
  }
  return number;
}

}  // namespace

void NoteCharset(CodePageUse* use, std::string_view registry,
                 std::string_view encoding) {
  if (registry.empty() || EqualIgnoringAsciiCase(registry, "ISO10646"))
    return;
  for (const std::string_view name : {registry, encoding}) {
    const CodePage* code_page = FindCodePage(CodePageNamed(name));
    if (code_page != nullptr) {
      use->own = code_page;
      return;
    }
  }
  use->own_charset = std::string(registry) + "-" + std::string(encoding);
}

bool PlacedFromOwn(const CodePageUse& use) {
  return use.own != nullptr && use.named != nullptr && use.own != use.named;
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
  if (use_->by_own && use_->own != nullptr)
    return *use_->own;
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
