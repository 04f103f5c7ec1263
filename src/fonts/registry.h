// The formats of font files the program knows, one row each. Every
// question about formats is answered from this one table: which format a
// file is by its content, which one a name's extension stands for, which
// ones a font can be written in, and what --help lists.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "fonts/formats.h"

namespace mdlReplace {

// Whether the bytes of a whole file begin as the format's files do.
using RecogniseFormat = bool (*)(std::span<const std::uint8_t> bytes);
// The font of a whole file's bytes, its glyphs placed by the code page
// named in use where the format places them: an empty string, or what is
// wrong with the bytes, worded to follow the file's name.
using ReadFormat = std::string (*)(std::span<const std::uint8_t> bytes,
                                   CodePageUse* use, FontImage* font);
// The font in the format, for a file of the name; one keyed by characters
// keys each glyph by its character in the code page.
using WriteFormat = Bytes (*)(const FontImage& font, const CodePage& code_page,
                              std::string_view file_name);

// The extensions a format's files are named with, three at most.
constexpr std::size_t kMostExtensions = 3;
using Extensions = std::array<std::string_view, kMostExtensions>;

struct FormatRow {
  FontFormat format;
  std::string_view name;      // as --help lists it
  Extensions extensions;      // ".fnt", ".fon", then empty ones
  RecogniseFormat recognise;  // null: told by its length and name alone
  ReadFormat read;
  WriteFormat write;  // null: read, never written
  // Whether a code page may place its glyphs: the font's glyphs are keyed
  // by characters, or can tell them.
  bool placed_by_code_page;
  std::string_view help;  // what --help says of it, after its extensions
};

// Every format, in the order a file's content is tried against them.
std::span<const FormatRow> FontFormats();

// The format's row.
const FormatRow& RowOf(FontFormat format);

// The first format whose files the bytes begin like; null for none.
const FormatRow* FormatOfContent(std::span<const std::uint8_t> bytes);

// The first format one of whose extensions the file name ends with, in
// any case; null for none.
const FormatRow* FormatOfName(std::string_view file_name);

// The extensions of the formats a font can be written in, as a message
// lists them: ".fnt, .f08, .bin, .psf, .bdf, .ttf, .otb, .png or .txt".
std::string WritableExtensions();

}  // namespace mdlReplace
