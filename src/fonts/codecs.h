// Each format's reader and writer, for the table of formats. A reader returns
// an empty string, or what is wrong with the bytes, worded to follow the file's
// name.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "base/byte_reader.h"
#include "base/text_lines.h"
#include "fonts/formats.h"

namespace mdlReplace {

// "is taken for a raw font, but is 100 bytes long, not 2048.": a file of
// another length that is no other format's either.
std::string RawFontLength(std::size_t length);
std::string ReadRawFont(std::span<const std::uint8_t> bytes, CodePageUse* use,
                        FontImage* font);
Bytes WriteRawFont(const FontImage& font, const CodePage& code_page,
                   std::string_view file_name);

bool LooksLikePsf(std::span<const std::uint8_t> bytes);
std::string ReadPsf(std::span<const std::uint8_t> bytes, CodePageUse* use,
                    FontImage* font);
Bytes WritePsf(const FontImage& font);

bool LooksLikeBdf(std::span<const std::uint8_t> bytes);
std::string ReadBdf(std::span<const std::uint8_t> bytes, CodePageUse* use,
                    FontImage* font);
Bytes WriteBdf(const FontImage& font, const CodePage& code_page,
               std::string_view file_name);

bool LooksLikePcf(std::span<const std::uint8_t> bytes);
std::string ReadPcf(std::span<const std::uint8_t> bytes, CodePageUse* use,
                    FontImage* font);

bool LooksLikeTrueType(std::span<const std::uint8_t> bytes);
// An sfnt's bitmap strikes: Read when it has an 8x8 one, whose glyphs are
// then placed by the code page (or *problem says why not); None when it
// has none, and then *problem names the strikes it has, if any.
enum class StrikeRead { None, Read };
StrikeRead ReadBitmapStrike(std::span<const std::uint8_t> bytes,
                            CodePageUse* use, FontImage* font,
                            std::string* problem);
std::string ReadTrueType(std::span<const std::uint8_t> bytes, CodePageUse* use,
                         FontImage* font);
// An outline TrueType font whose glyphs trace the font's pixels, or, for a
// file name that ends with .otb, an OpenType bitmap font of its 8-pixel
// strike; its family named for the file.
Bytes WriteTrueType(const FontImage& font, const CodePage& code_page,
                    std::string_view file_name);

// Windows bitmap fonts: an FNT, or a FON that holds FNT fonts.
bool LooksLikeWindowsFont(std::span<const std::uint8_t> bytes);
std::string ReadWindowsFont(std::span<const std::uint8_t> bytes,
                            CodePageUse* use, FontImage* font);

// DOS code-page font files: CPI, and one code page's entry alone (.cp).
bool LooksLikeCpi(std::span<const std::uint8_t> bytes);
std::string ReadCpi(std::span<const std::uint8_t> bytes, CodePageUse* use,
                    FontImage* font);

bool LooksLikeHex(std::span<const std::uint8_t> bytes);
std::string ReadHex(std::span<const std::uint8_t> bytes, CodePageUse* use,
                    FontImage* font);

// A font sheet: a PNG, BMP or GIF image, each read alike.
bool LooksLikePng(std::span<const std::uint8_t> bytes);
bool LooksLikeBmp(std::span<const std::uint8_t> bytes);
bool LooksLikeGif(std::span<const std::uint8_t> bytes);
std::string ReadImageSheet(std::span<const std::uint8_t> bytes,
                           FontImage* font);
Bytes WritePngSheet(const FontImage& font);

bool LooksLikeTextFont(std::span<const std::uint8_t> bytes);
std::string ReadTextFont(std::span<const std::uint8_t> bytes, FontImage* font);
Bytes WriteTextFont(const FontImage& font);

bool LooksLikeGzip(std::span<const std::uint8_t> bytes);
// The decompressed bytes, up to the limit; an empty string or what is wrong.
std::string Gunzip(std::span<const std::uint8_t> bytes, std::size_t limit,
                   Bytes* content);

// "has no glyph at any of the 256 codes (REASON).": a font file that
// would give a blank font.
std::string NoGlyphAtAnyCode(std::string_view reason);

// "is a KIND font of WxH glyphs, not 8x8.": a font of another size.
std::string NotEightByEight(std::string_view kind, std::int64_t width,
                            std::int64_t height);

// Whether every character of the text is a hex digit (an empty text has
// none that is not).
bool AllHexDigits(std::string_view text);

// Two upper-case hex digits.
std::string HexByte(std::size_t value);

// "U+0416": a character as Unicode names it, four hex digits or six.
std::string UnicodeName(char32_t character);

// The value of a hex digit in either case, or -1 for any other character.
int HexDigitValue(char c);

}  // namespace mdlReplace
