// Each format's reader and writer, for formats.cpp. A reader returns an
// empty string, or what is wrong with the bytes, worded to follow the file's
// name.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "fonts/formats.h"

namespace mdlReplace {

bool LooksLikePsf(std::span<const std::uint8_t> bytes);
std::string ReadPsf(std::span<const std::uint8_t> bytes, CodePageUse* use,
                    FontImage* font);
Bytes WritePsf(const FontImage& font);

bool LooksLikeBdf(std::span<const std::uint8_t> bytes);
std::string ReadBdf(std::span<const std::uint8_t> bytes, CodePageUse* use,
                    FontImage* font);
Bytes WriteBdf(const FontImage& font, const CodePage& code_page);

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

// A font sheet: a PNG, BMP or GIF image.
bool LooksLikeImage(std::span<const std::uint8_t> bytes);
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

bool BeginsWith(std::span<const std::uint8_t> bytes,
                std::span<const std::uint8_t> prefix);

// Little-endian numbers at an offset that the caller has checked.
std::uint16_t Little16(std::span<const std::uint8_t> bytes, std::size_t at);
std::uint32_t Little32(std::span<const std::uint8_t> bytes, std::size_t at);
// A big-endian number of four bytes, as PNG and zlib store them.
std::uint32_t Big32(std::span<const std::uint8_t> bytes, std::size_t at);

// Reads numbers from bytes in order, in either byte order. A read that
// would pass the end gives 0 and fails the reader, so that a whole header
// can be read first and checked once.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes,
                      bool big_endian = false)
      : bytes_(bytes), big_endian_(big_endian) {}

  void set_big_endian(bool big_endian) { big_endian_ = big_endian; }
  // Moves to the offset; past the end fails the reader.
  void Seek(std::uint64_t at);
  void Skip(std::uint64_t count) { Seek(at_ + count); }
  std::uint8_t U8() { return static_cast<std::uint8_t>(Number(1)); }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Number(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Number(4)); }
  int S8() {
    const int value = U8();
    return value < 0x80 ? value : value - 0x100;
  }
  std::int16_t S16() { return static_cast<std::int16_t>(U16()); }
  std::int32_t S32() { return static_cast<std::int32_t>(U32()); }
  // The next count bytes; empty, and the reader failed, when there are
  // fewer.
  std::span<const std::uint8_t> Take(std::uint64_t count);

  bool ok() const { return ok_; }
  std::size_t at() const { return at_; }
  std::size_t size() const { return bytes_.size(); }

 private:
  std::uint64_t Number(std::size_t width);

  std::span<const std::uint8_t> bytes_;
  bool big_endian_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

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

// Reads a text file a line at a time, each line a view into the bytes,
// without its line end or trailing blanks, and without a UTF-8 byte-order
// mark before the first: however many lines a file has, none is copied.
class LineReader {
 public:
  explicit LineReader(std::span<const std::uint8_t> bytes);

  // The next line; false after the last.
  bool Next(std::string_view* line);
  // The number of the line Next gave last, counting from 1.
  std::size_t number() const { return number_; }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t number_ = 0;
};

// The first line of the bytes that holds more than blanks; empty if none.
std::string_view FirstTextLine(std::span<const std::uint8_t> bytes);

// The blank-separated words of a line, as views into it.
std::vector<std::string_view> Words(std::string_view line);

}  // namespace mdlReplace
