// The code pages against glibc's own conversions, where glibc is.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "fonts/code_pages.h"

namespace mdlReplace {
namespace {

// Each code page's characters are glibc's for codes 0x20 to 0xFF, where
// glibc has one; controls show nothing, but code page 437's are the PC's
// pictures.
TEST(CodePages, AgreeWithGlibc) {
  for (int number :
       {437, 737, 775, 850,  852,  855,  857,  860,  861,  862,  863,  864,
        865, 866, 869, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}) {
    SCOPED_TRACE(number);
    const CodePage* code_page = FindCodePage(number);
    ASSERT_NE(code_page, nullptr);
    const std::string name = "CP" + std::to_string(number);
    iconv_t convert = iconv_open("UTF-32LE", name.c_str());
    // iconv_open fails with (iconv_t)-1, as glibc documents.
    ASSERT_NE(convert, reinterpret_cast<iconv_t>(-1));  // NOLINT
    for (std::size_t code = 0x20; code < 256; ++code) {
      char in = static_cast<char>(code);
      char32_t out[2] = {0, 0};
      char* in_at = &in;
      char* out_at = reinterpret_cast<char*>(out);
      std::size_t in_left = 1;
      std::size_t out_left = sizeof(out);
      iconv(convert, nullptr, nullptr, nullptr, nullptr);
      const bool converted = iconv(convert, &in_at, &in_left, &out_at,
                                   &out_left) != static_cast<std::size_t>(-1) &&
                             iconv(convert, nullptr, nullptr, &out_at,
                                   &out_left) != static_cast<std::size_t>(-1);
      const char32_t glibc =
          !converted || out[0] == 0x7F || (out[0] >= 0x80 && out[0] < 0xA0)
              ? 0
              : out[0];
      if (number == 437 && code == 0x7F)
        EXPECT_EQ(code_page->characters[code], u'\u2302');
      else
        EXPECT_EQ(code_page->characters[code], glibc) << std::hex << code;
    }
    iconv_close(convert);
  }
  EXPECT_EQ(FindCodePage(437)->characters[0x01], u'\u263A');
  EXPECT_EQ(FindCodePage(437)->characters[0x1F], u'\u25BC');
  EXPECT_EQ(FindCodePage(866)->characters[0x01], 0);
  EXPECT_EQ(FindCodePage(932), nullptr);
}

}  // namespace
}  // namespace mdlReplace
