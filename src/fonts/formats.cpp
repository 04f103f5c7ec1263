#include "fonts/formats.h"

#include <algorithm>
#include <array>

#include "base/names.h"
#include "fonts/code_pages.h"
#include "fonts/codecs.h"
#include "fonts/placement.h"

namespace mdlReplace {

namespace {

struct ExtensionFormat {
  std::string_view extension;
  FontFormat format;
};

constexpr std::array<ExtensionFormat, 7> kExtensions = {{
    {".fnt", FontFormat::Raw},
    {".f08", FontFormat::Raw},
    {".bin", FontFormat::Raw},
    {".psf", FontFormat::Psf},
    {".bdf", FontFormat::Bdf},
    {".png", FontFormat::Png},
    {".txt", FontFormat::Text},
}};

std::string NotAFont(std::size_t length) {
  return std::string("is taken for a raw font, but is ") +
         std::to_string(length) + " bytes long, not 2048.";
}

std::string NotACompressedFont(std::size_t length) {
  return std::string(
             "is compressed, and what it holds is taken for a raw "
             "font, but is ") +
         std::to_string(length) + " bytes long, not 2048.";
}

bool NamesRawFont(std::string_view file_name) {
  FontFormat format = FontFormat::Psf;
  return FormatOfExtension(file_name, &format) && format == FontFormat::Raw;
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

// The font of a file in one of the formats that tell themselves by their
// content; false when the bytes are in none of them.
bool ReadByContent(std::string_view file_name,
                   std::span<const std::uint8_t> bytes, bool may_be_compressed,
                   CodePageUse* use, FontImage* font, std::string* problem);

// A compressed file holds one font file, itself not compressed again. A
// file of 2048 bytes is a raw font when its name says so, whatever its
// first glyphs look like, and otherwise when it begins like no other
// format.
std::string ReadFontOrCompressed(std::string_view file_name,
                                 std::span<const std::uint8_t> bytes,
                                 bool may_be_compressed, CodePageUse* use,
                                 FontImage* font) {
  const bool raw = bytes.size() == kFontSize;
  std::string problem;
  use->used = nullptr;
  use->smaller = GlyphSize{};
  use->lacked_table = false;
  if ((raw && NamesRawFont(file_name)) ||
      !ReadByContent(file_name, bytes, may_be_compressed, use, font,
                     &problem)) {
    if (!raw)
      return may_be_compressed ? NotAFont(bytes.size())
                               : NotACompressedFont(bytes.size());
    std::copy(bytes.begin(), bytes.end(), font->begin());
  } else if (use->lacked_table) {
    return LackedTable(*use);
  } else if (problem.empty() && IsBlank(*font)) {
    // Only a raw font is taken as it is: a blank one from any other format
    // is a font read wrong, or no font.
    return WhyBlank(*use);
  }
  return problem;
}

bool ReadByContent(std::string_view file_name,
                   std::span<const std::uint8_t> bytes, bool may_be_compressed,
                   CodePageUse* use, FontImage* font, std::string* problem) {
  if (LooksLikePsf(bytes)) {
    *problem = ReadPsf(bytes, use, font);
  } else if (may_be_compressed && LooksLikeGzip(bytes)) {
    Bytes content;
    *problem = Gunzip(bytes, kLargestFontFile, &content);
    if (problem->empty())
      *problem =
          ReadFontOrCompressed(WithoutGz(file_name), content, false, use, font);
  } else if (LooksLikeBdf(bytes)) {
    *problem = ReadBdf(bytes, use, font);
  } else if (LooksLikePcf(bytes)) {
    *problem = ReadPcf(bytes, use, font);
  } else if (LooksLikeTrueType(bytes)) {
    *problem = ReadTrueType(bytes, use, font);
  } else if (LooksLikeWindowsFont(bytes)) {
    *problem = ReadWindowsFont(bytes, use, font);
  } else if (LooksLikeCpi(bytes)) {
    *problem = ReadCpi(bytes, use, font);
  } else if (LooksLikeImage(bytes)) {
    *problem = ReadImageSheet(bytes, font);
  } else if (LooksLikeHex(bytes)) {
    *problem = ReadHex(bytes, use, font);
  } else if (LooksLikeTextFont(bytes)) {
    *problem = ReadTextFont(bytes, font);
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool FormatOfExtension(std::string_view file_name, FontFormat* format) {
  const std::string_view name = FileNameOf(file_name);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos)
    return false;
  for (const ExtensionFormat& known : kExtensions) {
    if (EqualIgnoringAsciiCase(known.extension, name.substr(dot))) {
      *format = known.format;
      return true;
    }
  }
  return false;
}

Bytes WriteFont(const FontImage& font, FontFormat format,
                const CodePage* code_page) {
  switch (format) {
    case FontFormat::Raw:
      break;
    case FontFormat::Psf:
      return WritePsf(font);
    case FontFormat::Bdf:
      return WriteBdf(font, code_page != nullptr
                                ? *code_page
                                : *FindCodePage(kDefaultCodePage));
    case FontFormat::Png:
      return WritePngSheet(font);
    case FontFormat::Text:
      return WriteTextFont(font);
  }
  return Bytes(font.begin(), font.end());
}

std::string ReadFont(std::string_view file_name,
                     std::span<const std::uint8_t> bytes, CodePageUse* use,
                     FontImage* font) {
  return ReadFontOrCompressed(file_name, bytes, true, use, font);
}

std::string ReadFont(std::string_view file_name,
                     std::span<const std::uint8_t> bytes, FontImage* font) {
  CodePageUse use;
  return ReadFont(file_name, bytes, &use, font);
}

bool BeginsLikeOtherFormat(std::span<const std::uint8_t> bytes) {
  return LooksLikePsf(bytes) || LooksLikeGzip(bytes) || LooksLikeBdf(bytes) ||
         LooksLikePcf(bytes) || LooksLikeTrueType(bytes) ||
         LooksLikeWindowsFont(bytes) || LooksLikeCpi(bytes) ||
         LooksLikeImage(bytes) || LooksLikeHex(bytes) ||
         LooksLikeTextFont(bytes);
}

}  // namespace mdlReplace
