#include "fonts/formats.h"

#include <algorithm>

#include "base/names.h"
#include "fonts/code_pages.h"
#include "fonts/codecs.h"
#include "fonts/placement.h"
#include "fonts/registry.h"

namespace mdlReplace {

namespace {

std::string NotACompressedFont(std::size_t length) {
  return "is compressed, and what it holds " + RawFontLength(length);
}

// The name without a last ".gz", for what the file holds.
std::string_view WithoutGz(std::string_view file_name) {
  constexpr std::string_view kGz = ".gz";
  if (file_name.size() >= kGz.size() &&
      EqualIgnoringAsciiCase(file_name.substr(file_name.size() - kGz.size()),
                             kGz))
    file_name.remove_suffix(kGz.size());
  return file_name;
}

bool IsBlank(const FontImage& font) {
  return std::all_of(font.begin(), font.end(),
                     [](std::uint8_t row) { return row == 0; });
}

// Why a font read whole has no ink: what its placing by a code page found,
// where it was placed by one.
std::string WhyBlank(const CodePageUse& use) {
  if (use.used == nullptr)
    return NoGlyphAtAnyCode("every glyph it gives is blank");
  const std::string code_page = std::to_string(use.used->number);
  return NoGlyphAtAnyCode(
      use.codes_with_glyph == 0
          ? "none of its characters is in code page " + code_page
          : "its glyphs for code page " + code_page + " are blank");
}

std::string ReadFontOrCompressed(std::string_view file_name,
                                 std::span<const std::uint8_t> bytes,
                                 bool compressed, CodePageUse* use,
                                 FontImage* font);

// A compressed file holds one font file, itself not compressed again.
std::string ReadCompressed(std::string_view file_name,
                           std::span<const std::uint8_t> bytes,
                           CodePageUse* use, FontImage* font) {
  Bytes content;
  std::string problem = Gunzip(bytes, kLargestFontFile, &content);
  if (problem.empty())
    problem =
        ReadFontOrCompressed(WithoutGz(file_name), content, true, use, font);
  return problem;
}

// A file of 2048 bytes is a raw font when its name says so, whatever its
// first glyphs look like, and otherwise when it begins like no other
// format. Only a raw font is taken as it is: a blank one from any other
// format is a font read wrong, or no font.
std::string ReadFontOrCompressed(std::string_view file_name,
                                 std::span<const std::uint8_t> bytes,
                                 bool compressed, CodePageUse* use,
                                 FontImage* font) {
  use->used = nullptr;
  use->smaller = GlyphSize{};
  use->lacked_table = false;
  const FormatRow* named = FormatOfName(file_name);
  const bool named_raw = named != nullptr && named->format == FontFormat::Raw;
  if (bytes.size() == kFontSize && named_raw)
    return ReadRawFont(bytes, use, font);
  std::string problem;
  if (!compressed && LooksLikeGzip(bytes)) {
    problem = ReadCompressed(file_name, bytes, use, font);
  } else if (const FormatRow* format = FormatOfContent(bytes)) {
    problem = format->read(bytes, use, font);
  } else if (compressed && bytes.size() != kFontSize) {
    return NotACompressedFont(bytes.size());
  } else {
    return ReadRawFont(bytes, use, font);
  }
  if (use->lacked_table)
    return LackedTable(*use);
  if (problem.empty() && IsBlank(*font))
    return WhyBlank(*use);
  return problem;
}

}  // namespace

bool FormatOfExtension(std::string_view file_name, FontFormat* format) {
  const FormatRow* row = FormatOfName(file_name);
  if (row == nullptr || row->write == nullptr)
    return false;
  *format = row->format;
  return true;
}

Bytes WriteFont(const FontImage& font, FontFormat format,
                const CodePage* code_page, std::string_view file_name) {
  const FormatRow& row = RowOf(format);
  const CodePage& keyed_by =
      code_page != nullptr ? *code_page : *FindCodePage(kDefaultCodePage);
  return row.write != nullptr ? row.write(font, keyed_by, file_name)
                              : Bytes(font.begin(), font.end());
}

const CodePage& CodePageToGoBy(const CodePageUse& use) {
  if (use.named != nullptr)
    return *use.named;
  return use.own != nullptr ? *use.own : *FindCodePage(kDefaultCodePage);
}

std::string WhyCodePageGoneBy(const CodePageUse& use) {
  if (use.own != nullptr)
    return ", the font's own.";
  if (!use.own_charset.empty())
    return ": the font is of " + use.own_charset +
           ", which this program has no table of.";
  return ": the font names no code page of its own.";
}

std::string ReadFont(std::string_view file_name,
                     std::span<const std::uint8_t> bytes, CodePageUse* use,
                     FontImage* font) {
  return ReadFontOrCompressed(file_name, bytes, false, use, font);
}

std::string ReadFont(std::string_view file_name,
                     std::span<const std::uint8_t> bytes, FontImage* font) {
  CodePageUse use;
  return ReadFont(file_name, bytes, &use, font);
}

bool BeginsLikeOtherFormat(std::span<const std::uint8_t> bytes) {
  return LooksLikeGzip(bytes) || FormatOfContent(bytes) != nullptr;
}

}  // namespace mdlReplace
