#include "fonts/formats.h"

#include <algorithm>
#include <array>

#include "fonts/codecs.h"
#include "platform/names.h"

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

// The font of a file in one of the formats that tell themselves by their
// content; false when the bytes are in none of them.
bool ReadByContent(std::span<const std::uint8_t> bytes, bool may_be_compressed,
                   FontImage* font, std::string* problem);

// A compressed file holds one font file, itself not compressed again. Any
// other file of 2048 bytes is a raw font, even one whose first glyphs look
// like the start of another format.
std::string ReadFontOrCompressed(std::span<const std::uint8_t> bytes,
                                 bool may_be_compressed, FontImage* font) {
  std::string problem;
  if (ReadByContent(bytes, may_be_compressed, font, &problem) &&
      (problem.empty() || bytes.size() != kFontSize))
    return problem;
  if (bytes.size() != kFontSize)
    return NotAFont(bytes.size());
  std::copy(bytes.begin(), bytes.end(), font->begin());
  return std::string();
}

bool ReadByContent(std::span<const std::uint8_t> bytes, bool may_be_compressed,
                   FontImage* font, std::string* problem) {
  if (LooksLikePsf(bytes)) {
    *problem = ReadPsf(bytes, font);
  } else if (may_be_compressed && LooksLikeGzip(bytes)) {
    Bytes content;
    *problem = Gunzip(bytes, kLargestFontFile, &content);
    if (problem->empty())
      *problem = ReadFontOrCompressed(content, false, font);
  } else if (LooksLikeBdf(bytes)) {
    *problem = ReadBdf(bytes, font);
  } else if (LooksLikePng(bytes)) {
    *problem = ReadPngSheet(bytes, font);
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

Bytes WriteFont(const FontImage& font, FontFormat format) {
  switch (format) {
    case FontFormat::Raw:
      break;
    case FontFormat::Psf:
      return WritePsf(font);
    case FontFormat::Bdf:
      return WriteBdf(font);
    case FontFormat::Png:
      return WritePngSheet(font);
    case FontFormat::Text:
      return WriteTextFont(font);
  }
  return Bytes(font.begin(), font.end());
}

std::string ReadFont(std::span<const std::uint8_t> bytes, FontImage* font) {
  return ReadFontOrCompressed(bytes, true, font);
}

bool BeginsLikeOtherFormat(std::span<const std::uint8_t> bytes) {
  return LooksLikePsf(bytes) || LooksLikeGzip(bytes) || LooksLikeBdf(bytes) ||
         LooksLikePng(bytes) || LooksLikeTextFont(bytes);
}

}  // namespace mdlReplace
