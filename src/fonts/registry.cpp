#include "fonts/registry.h"

#include <array>
#include <vector>

#include "base/names.h"
#include "fonts/codecs.h"

namespace mdlReplace {

namespace {

// Formats whose reader or writer needs no code page.
std::string ReadSheet(std::span<const std::uint8_t> bytes, CodePageUse*,
                      FontImage* font) {
  return ReadImageSheet(bytes, font);
}

std::string ReadText(std::span<const std::uint8_t> bytes, CodePageUse*,
                     FontImage* font) {
  return ReadTextFont(bytes, font);
}

Bytes WritePsfFont(const FontImage& font, const CodePage&, std::string_view) {
  return WritePsf(font);
}

Bytes WriteSheet(const FontImage& font, const CodePage&, std::string_view) {
  return WritePngSheet(font);
}

Bytes WriteText(const FontImage& font, const CodePage&, std::string_view) {
  return WriteTextFont(font);
}

// A file's content is tried against the formats in this order. Raw comes
// first, so that its extensions are the ones .fnt names and a message
// lists them first; having no content of its own, it is never tried.
// clang-format off
constexpr std::array<FormatRow, 12> kFormats = {{
    // format, name, extensions,
    //   recognised by, read by, written by, placed by a code page,
    //   help
    {FontFormat::Raw, "raw", {".fnt", ".f08", ".bin"},
     nullptr, ReadRawFont, WriteRawFont, false,
     "2048 bytes, as the game holds its font"},
    {FontFormat::Psf, "PSF", {".psf"},
     LooksLikePsf, ReadPsf, WritePsfFont, true,
     "a Linux console font"},
    {FontFormat::Bdf, "BDF", {".bdf"},
     LooksLikeBdf, ReadBdf, WriteBdf, true,
     "a font editor's, its glyphs fitting 8x8"},
    {FontFormat::Pcf, "PCF", {".pcf"},
     LooksLikePcf, ReadPcf, nullptr, true,
     "an X font"},
    {FontFormat::TrueType, "TrueType", {".ttf", ".otb"},
     LooksLikeTrueType, ReadTrueType, WriteTrueType, true,
     "drawn on a grid of 8 pixels, or an 8x8 strike"},
    {FontFormat::Windows, "Windows", {".fnt", ".fon"},
     LooksLikeWindowsFont, ReadWindowsFont, nullptr, true,
     "a Windows bitmap font of 8x8 cells"},
    {FontFormat::Cpi, "CPI", {".cpi", ".cp"},
     LooksLikeCpi, ReadCpi, nullptr, true,
     "the 8x8 font of code page N, or its only one"},
    {FontFormat::Png, "PNG", {".png"},
     LooksLikePng, ReadSheet, WriteSheet, false,
     "a 128x128 sheet, or one magnified up to 8 times"},
    {FontFormat::Bmp, "BMP", {".bmp"},
     LooksLikeBmp, ReadSheet, nullptr, false,
     "the same sheet as a BMP"},
    {FontFormat::Gif, "GIF", {".gif"},
     LooksLikeGif, ReadSheet, nullptr, false,
     "the same sheet as a GIF"},
    {FontFormat::Hex, "hex", {".hex"},
     LooksLikeHex, ReadHex, nullptr, true,
     "a Unicode hex font of 8x8 glyphs"},
    {FontFormat::Text, "text", {".txt"},
     LooksLikeTextFont, ReadText, WriteText, false,
     "# and . as --convert writes it"},
}};
// clang-format on

constexpr bool InEnumOrder() {
  for (std::size_t i = 0; i < kFormats.size(); ++i) {
    if (static_cast<std::size_t>(kFormats[i].format) != i)
      return false;
  }
  return true;
}
// So that a format's row is found by its number.
static_assert(InEnumOrder());

// Whether the name's last extension is one of the row's, in any case.
bool NamedFor(const FormatRow& row, std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos)
    return false;
  for (std::string_view extension : row.extensions) {
    if (!extension.empty() &&
        EqualIgnoringAsciiCase(extension, name.substr(dot)))
      return true;
  }
  return false;
}

}  // namespace

std::span<const FormatRow> FontFormats() {
  return kFormats;
}

const FormatRow& RowOf(FontFormat format) {
  return kFormats[static_cast<std::size_t>(format)];
}

const FormatRow* FormatOfContent(std::span<const std::uint8_t> bytes) {
  for (const FormatRow& row : kFormats) {
    if (row.recognise != nullptr && row.recognise(bytes))
      return &row;
  }
  return nullptr;
}

const FormatRow* FormatOfName(std::string_view file_name) {
  for (const FormatRow& row : kFormats) {
    if (NamedFor(row, FileNameOf(file_name)))
      return &row;
  }
  return nullptr;
}

std::string WritableExtensions() {
  std::vector<std::string_view> written;
  for (const FormatRow& row : kFormats) {
    for (std::string_view extension : row.extensions) {
      if (row.write != nullptr && !extension.empty())
        written.push_back(extension);
    }
  }
  std::string list;
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (i > 0)
      list += i + 1 == written.size() ? " or " : ", ";
    list += written[i];
  }
  return list;
}

}  // namespace mdlReplace
