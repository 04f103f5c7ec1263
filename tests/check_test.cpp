// The check of a translation's texts against a font: the report the user
// reads, worked out by hand and by tests/check_reference.py.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "check/check_report.h"
#include "check/check_texts.h"
#include "check/coverage.h"
#include "check/text_tally.h"
#include "fake_platform.h"
#include "fonts/code_pages.h"
#include "front/run.h"
#include "front/run_steps.h"

namespace mdlReplace {
namespace {

// Ink at every code but the ones given.
FontImage FontBlankAt(const std::vector<std::size_t>& codes) {
  FontImage font;
  font.fill(0x18);
  for (std::size_t code : codes)
    std::fill_n(font.begin() + static_cast<std::ptrdiff_t>(code * 8), 8, 0);
  return font;
}

struct Text {
  std::string name;
  std::string bytes;
};

struct CheckCase {
  const char* name;
  int code_page;
  std::vector<std::size_t> blank_codes;
  std::vector<Text> texts;
  std::string report;  // or the sentence that refuses a text
};

const std::string kPangram =
    "Съешь же ещё этих мягких французских булок, да выпей чаю.\n";
const std::string kRussianFirst20 =
    "  4  U+0435 е  first at ru.txt:1:3\n"
    "  3  U+0430 а  first at ru.txt:1:28\n"
    "  3  U+0438 и  first at ru.txt:1:16\n"
    "  3  U+043A к  first at ru.txt:1:22\n"
    "  3  U+0445 х  first at ru.txt:1:17\n"
    "  2  U+0443 у  first at ru.txt:1:31\n"
    "  1  U+0421 С  first at ru.txt:1:1\n"
    "  1  U+0431 б  first at ru.txt:1:38\n"
    "  1  U+0432 в  first at ru.txt:1:48\n"
    "  1  U+0433 г  first at ru.txt:1:21\n"
    "  1  U+0434 д  first at ru.txt:1:45\n"
    "  1  U+0436 ж  first at ru.txt:1:7\n"
    "  1  U+0437 з  first at ru.txt:1:32\n"
    "  1  U+0439 й  first at ru.txt:1:52\n"
    "  1  U+043B л  first at ru.txt:1:40\n"
    "  1  U+043C м  first at ru.txt:1:19\n"
    "  1  U+043D н  first at ru.txt:1:29\n"
    "  1  U+043E о  first at ru.txt:1:41\n"
    "  1  U+043F п  first at ru.txt:1:50\n"
    "  1  U+0440 р  first at ru.txt:1:27\n";
const std::string kRussianIn437 =
    "34 characters, used 46 times, cannot be drawn: 34 not in code page 437\n"
    "code page 866 has every letter of this text\n";

// More different characters than the tally keeps the first places of: the
// first 70,000 of plane 2, each once, on a line of their own; then the
// Cyrillic capitals А to У twice, and é, whose places are found by a
// second reading of the texts.
static_assert(kKeptPlaces < 70000);
std::string PastTheKeptPlaces() {
  std::string text;
  for (char32_t character = 0x20000; character < 0x20000 + 70000; ++character) {
    text += static_cast<char>(0xF0 | character >> 18);
    text += static_cast<char>(0x80 | (character >> 12 & 0x3F));
    text += static_cast<char>(0x80 | (character >> 6 & 0x3F));
    text += static_cast<char>(0x80 | (character & 0x3F));
  }
  const std::string capitals = "АБВГДЕЖЗИЙКЛМНОПРСТУ";
  return text + "\n" + capitals + " " + capitals + " é\n";
}

const CheckCase kCheckCases[] = {
    {"ASCII in 437, a tab no character",
     437,
     {},
     {{"en.txt", "Hello, world!\n\tThe end.\n"}},
     "all 21 characters of 1 file can be drawn\n"},
    {"Russian in 866",
     866,
     {},
     {{"ru.txt", kPangram}},
     "all 57 characters of 1 file can be drawn\n"},
    {"Russian in 437: 20 listed and the rest counted",
     437,
     {},
     {{"ru.txt", kPangram}},
     "Not in code page 437:\n" + kRussianFirst20 +
         "  and 14 more, used 14 times\n" + kRussianIn437},
    {"Greek in 737 with three letters blank, in two files",
     737,
     {0x98, 0x9C, 0xE0},
     {{"a.txt", "Ξεσκεπάζω την ψυχοφθόρα βδελυγμία.\n"},
      {"b.txt", "Ωραία, ας δούμε πάλι.\n"}},
     "With a blank glyph:\n"
     "  5  U+03B1 α  at code 0x98, first at a.txt:1:23\n"
     "  4  U+03B5 ε  at code 0x9C, first at a.txt:1:2\n"
     "  1  U+03C9 ω  at code 0xE0, first at a.txt:1:9\n"
     "3 characters, used 10 times, cannot be drawn: 3 with a blank glyph\n"},
    {"a byte order mark, no character",
     437,
     {0x82},
     {{"bom.txt", "\xEF\xBB\xBF\xC3\xA9 and e\n"}},
     "With a blank glyph:\n"
     "  1  U+00E9 é  at code 0x82, first at bom.txt:1:1\n"
     "1 character, used 1 time, cannot be drawn: 1 with a blank glyph\n"},
    {"CRLF line ends, each one line",
     437,
     {0x7A},
     {{"crlf.txt", "one\r\ntwo\r\n\r\nzero\r\n"}},
     "With a blank glyph:\n"
     "  1  U+007A z  at code 0x7A, first at crlf.txt:4:1\n"
     "1 character, used 1 time, cannot be drawn: 1 with a blank glyph\n"},
    {"a blank space and no-break space, as they should be",
     437,
     {0x20, 0xFF, 0x78, 0x79},
     {{"x.txt", std::string(1500, 'x') + " y\xC2\xA0"}},
     "With a blank glyph:\n"
     "  1,500  U+0078 x  at code 0x78, first at x.txt:1:1\n"
     "      1  U+0079 y  at code 0x79, first at x.txt:1:1502\n"
     "2 characters, used 1,501 times, cannot be drawn: 2 with a blank glyph\n"},
    {"a character outside the Basic Multilingual Plane, and one another "
     "code page has",
     866,
     {},
     {{"emoji.txt", "ok \xC3\xA9 \xF0\x9F\x98\x80\n"}},
     "Not in code page 866:\n"
     "  1  U+00E9 \xC3\xA9  first at emoji.txt:1:4\n"
     "  1  U+1F600 \xF0\x9F\x98\x80  first at emoji.txt:1:6\n"
     "2 characters, used 2 times, cannot be drawn: 2 not in code page 866\n"
     "code page 437 has all but 1 character of this text\n"},
    {"a combining mark on a dotted circle, a narrow no-break space by its "
     "number",
     437,
     {},
     {{"marks.txt",
       "e\xCC\x81 a\xE2\x80\xAF"
       "b\n"}},
     "Not in code page 437:\n"
     "  1  U+0301 \xE2\x97\x8C\xCC\x81  first at marks.txt:1:2\n"
     "  1  U+202F  first at marks.txt:1:5\n"
     "2 characters, used 2 times, cannot be drawn: 2 not in code page 437\n"
     "code page 1258 has all but 1 character of this text\n"},
    {"German: Western Europe's 1252, not the Baltic 775 that has „“ too",
     866,
     {},
     {{"de.txt", "Die Größe der „Straße“.\n"}},
     "Not in code page 866:\n"
     "  2  U+00DF ß  first at de.txt:1:8\n"
     "  1  U+00F6 ö  first at de.txt:1:7\n"
     "  1  U+201C “  first at de.txt:1:22\n"
     "  1  U+201E „  first at de.txt:1:15\n"
     "4 characters, used 5 times, cannot be drawn: 4 not in code page 866\n"
     "code page 1252 has every letter of this text\n"},
    {"French: 1252, not the Arabic 1256 that has its letters too",
     437,
     {},
     {{"fr.txt", "l’œuvre\n"}},
     "Not in code page 437:\n"
     "  1  U+0153 œ  first at fr.txt:1:3\n"
     "  1  U+2019 ’  first at fr.txt:1:2\n"
     "2 characters, used 2 times, cannot be drawn: 2 not in code page 437\n"
     "code page 1252 has every letter of this text\n"},
    {"Greek: the common 737, not 869",
     866,
     {},
     {{"el.txt", "Ξω\n"}},
     "Not in code page 866:\n"
     "  1  U+039E Ξ  first at el.txt:1:1\n"
     "  1  U+03C9 ω  first at el.txt:1:2\n"
     "2 characters, used 2 times, cannot be drawn: 2 not in code page 866\n"
     "code page 737 has every letter of this text\n"},
    {"Czech decomposed: composing lets the code page checked in draw it",
     852,
     {},
     {{"cs.txt",
       "Pr\xCC\x8Ci\xCC\x81lis\xCC\x8C ku\xCC\x8An\xCC\x8C x\xCC\x8C\n"}},
     "Not in code page 852:\n"
     "  4  U+030C \xE2\x97\x8C\xCC\x8C  first at cs.txt:1:3\n"
     "  1  U+0301 \xE2\x97\x8C\xCC\x81  first at cs.txt:1:5\n"
     "  1  U+030A \xE2\x97\x8C\xCC\x8A  first at cs.txt:1:13\n"
     "3 characters, used 6 times, cannot be drawn: 3 not in code page 852\n"
     "composing the text (NFC) lets code page 852 draw all but 1 character "
     "of it\n"},
    {"Czech decomposed in 437: composing lets 852 draw it, not 1258 for "
     "its marks",
     437,
     {},
     {{"cs.txt", "r\xCC\x8Ci\xCC\x81\n"}},
     "Not in code page 437:\n"
     "  1  U+0301 \xE2\x97\x8C\xCC\x81  first at cs.txt:1:4\n"
     "  1  U+030C \xE2\x97\x8C\xCC\x8C  first at cs.txt:1:2\n"
     "2 characters, used 2 times, cannot be drawn: 2 not in code page 437\n"
     "composing the text (NFC) lets code page 852 draw it\n"},
    {"a file that breaks UTF-8 in line 3",
     437,
     {},
     {{"en.txt", "fine\n"},
      {"latin1.txt",
       "one\ntwo\nthr\xE9"
       "e\n"}},
     "latin1.txt is not UTF-8 text: it stops being so in line 3, at byte 4 "
     "of that line (0xE9)."},
    {"a file that ends inside a character",
     437,
     {},
     {{"cut.txt", "ab\xD0"}},
     "cut.txt is not UTF-8 text: it stops being so in line 1, at byte 3 of "
     "that line (0xD0)."},
    {"a surrogate, which UTF-8 never holds",
     437,
     {},
     {{"s.txt", "x\xED\xA0\x80"}},
     "s.txt is not UTF-8 text: it stops being so in line 1, at byte 2 of "
     "that line (0xED)."},
    {"UTF-16 without a byte order mark: a NUL in each character of ASCII",
     866,
     {},
     {{"u16.txt", std::string("\x1F\x04\x40\x04\x38\x04\x20\x00", 8)}},
     "u16.txt is not UTF-8 text: it stops being so in line 1, at byte 8 of "
     "that line (0x00).\r\nIt may be UTF-16 text: save it as UTF-8."},
    {"UTF-16 with its byte order mark",
     866,
     {},
     {{"bom16.txt", "\xFF\xFE\x1F\x04"}},
     "bom16.txt is not UTF-8 text: it stops being so in line 1, at byte 1 of "
     "that line (0xFF).\r\nIt may be UTF-16 text: save it as UTF-8."},
    {"an empty file",
     437,
     {},
     {{"empty.txt", ""}},
     "1 file holds no character to draw\n"},
    {"more characters than the places kept: the rest found read again",
     437,
     {0x82},
     {{"a.txt", "Ж\n"}, {"big.txt", PastTheKeptPlaces()}},
     "Not in code page 437:\n"
     "  3  U+0416 Ж  first at a.txt:1:1\n"
     "  2  U+0410 А  first at big.txt:2:1\n"
     "  2  U+0411 Б  first at big.txt:2:2\n"
     "  2  U+0412 В  first at big.txt:2:3\n"
     "  2  U+0413 Г  first at big.txt:2:4\n"
     "  2  U+0414 Д  first at big.txt:2:5\n"
     "  2  U+0415 Е  first at big.txt:2:6\n"
     "  2  U+0417 З  first at big.txt:2:8\n"
     "  2  U+0418 И  first at big.txt:2:9\n"
     "  2  U+0419 Й  first at big.txt:2:10\n"
     "  2  U+041A К  first at big.txt:2:11\n"
     "  2  U+041B Л  first at big.txt:2:12\n"
     "  2  U+041C М  first at big.txt:2:13\n"
     "  2  U+041D Н  first at big.txt:2:14\n"
     "  2  U+041E О  first at big.txt:2:15\n"
     "  2  U+041F П  first at big.txt:2:16\n"
     "  2  U+0420 Р  first at big.txt:2:17\n"
     "  2  U+0421 С  first at big.txt:2:18\n"
     "  2  U+0422 Т  first at big.txt:2:19\n"
     "  2  U+0423 У  first at big.txt:2:20\n"
     "  and 70,000 more, used 70,000 times\n"
     "With a blank glyph:\n"
     "  1  U+00E9 é  at code 0x82, first at big.txt:2:43\n"
     "70,021 characters, used 70,042 times, cannot be drawn: 70,020 not in "
     "code page 437, 1 with a blank glyph\n"
     "code page 866 has all but 70,001 characters of this text\n"},
};

std::span<const std::uint8_t> BytesOf(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The texts as the program reads a long file, in pieces: here of one byte,
// so that every character is cut; and read again for the places not kept.
std::string ReportByteByByte(const CheckCase& row, const FontImage& font,
                             const CodePage& code_page,
                             const std::vector<TextFile>& texts) {
  TextTally tally;
  for (const Text& text : row.texts) {
    tally.BeginFile();
    for (std::uint8_t byte : BytesOf(text.bytes)) {
      if (!tally.Read({&byte, 1}))
        return NotUtf8(text.name, tally.broken());
    }
    if (!tally.EndFile())
      return NotUtf8(text.name, tally.broken());
  }
  Coverage coverage = CheckCoverage(tally, font, code_page);
  PlaceTheRest(texts, tally.UnkeptFrom(), &coverage);
  std::vector<std::string> names;
  for (const Text& text : row.texts)
    names.push_back(text.name);
  return DescribeCoverage(coverage, names, false);
}

TEST(CheckTexts, Reports) {
  for (const CheckCase& row : kCheckCases) {
    SCOPED_TRACE(row.name);
    const FontImage font = FontBlankAt(row.blank_codes);
    const CodePage& code_page = *FindCodePage(row.code_page);
    std::vector<TextFile> texts;
    std::vector<std::string> names;
    for (const Text& text : row.texts) {
      texts.push_back({text.name, BytesOf(text.bytes)});
      names.push_back(text.name);
    }
    const CheckResult result = CheckTexts(font, code_page, texts);
    const std::string report =
        result.problem.empty() ? DescribeCoverage(result.coverage, names, false)
                               : result.problem;
    EXPECT_EQ(report, row.report);
    EXPECT_EQ(ReportByteByByte(row, font, code_page, texts), row.report);
    // What a grid marks: every character the code page has, at its code.
    std::uint64_t marked = 0;
    for (std::uint64_t uses : result.coverage.uses_of_code)
      marked += uses;
    for (const CharacterUse& use : result.coverage.lacking)
      marked += use.count;
    EXPECT_EQ(marked, result.coverage.characters);
  }
}

// Changes a text between the program's two readings of it, its length and
// its characters' counts kept: two of its characters change places; or
// puts a pipe in its place, which no writer may ever write to.
class ChangingPlatform : public FakePlatform {
 public:
  OpenedFile Open(const std::string& path, Naming naming,
                  OpenMode mode) override {
    if (path == "big.txt" && ++opens_ == 2) {
      if (change)
        std::swap(files[path].bytes[3], files[path].bytes[7]);
      if (to_pipe)
        files[path].kind = Kind::Pipe;
      second_mode = mode;
    }
    return FakePlatform::Open(path, naming, mode);
  }
  bool change = false;
  bool to_pipe = false;
  OpenMode second_mode = OpenMode::Read;

 private:
  int opens_ = 0;
};

// The program reads a text again for the first places it did not keep,
// where the text can be read as it was read; where it cannot, the place
// is not known, and the report says why in its stead.
TEST(CheckTexts, ProgramReadsAgainForThePlacesPastTheKeptOnes) {
  struct PlaceCase {
    const char* name;
    FakePlatform::Kind kind;
    bool change;
    const char* fails;  // the operation of the second reading that does
    std::string place;  // of U+0410, the first capital
    bool to_pipe = false;
  };
  const std::string not_known = "first place not known: big.txt ";
  const PlaceCase cases[] = {
      {"read again", FakePlatform::Kind::Ordinary, false, "",
       "first at big.txt:2:1"},
      {"a pipe", FakePlatform::Kind::Pipe, false, "",
       not_known + "is a pipe, read only once"},
      {"changed", FakePlatform::Kind::Ordinary, true, "",
       not_known + "changed after it was read"},
      {"not opened again", FakePlatform::Kind::Ordinary, false, "open-r",
       not_known + "could not be read again"},
      {"not read again", FakePlatform::Kind::Ordinary, false, "read",
       not_known + "could not be read again"},
      {"not closed again", FakePlatform::Kind::Ordinary, false, "close",
       not_known + "could not be read again"},
      // Not opened, or the run would wait for its writer.
      {"a pipe in its place", FakePlatform::Kind::Ordinary, false, "",
       not_known + "changed after it was read", true},
  };
  const std::string text = PastTheKeptPlaces();
  std::vector<std::string> clean_log;
  for (const PlaceCase& row : cases) {
    SCOPED_TRACE(row.name);
    ChangingPlatform platform;
    platform.change = row.change;
    platform.to_pipe = row.to_pipe;
    platform.command_arguments = {"--check", "my.fnt", "a.txt", "big.txt"};
    platform.AddFile("my.fnt", kFontSize, 0x18);
    platform.files["a.txt"].bytes = {0xD0, 0x96, '\n'};  // "Ж"
    platform.files["big.txt"] = {
        {text.begin(), text.end()}, false, false, row.kind};
    // The first operation of its kind on the text after the first reading
    // closed it, counted in the log of the run where none fails.
    bool read_once = false;
    for (std::size_t call = 0; *row.fails != 0 && call < clean_log.size();
         ++call) {
      if (read_once && clean_log[call] == std::string(row.fails) + " big.txt") {
        platform.fail_on_call = call + 1;
        break;
      }
      read_once = read_once || clean_log[call] == "close big.txt";
    }
    ASSERT_EQ(*row.fails == 0, platform.fail_on_call == 0);
    EXPECT_EQ(RunProgram(platform), kExitFailure);
    EXPECT_EQ(platform.OpenCount(), 0u);
    EXPECT_EQ(platform.messages, std::vector<std::string>{});
    const std::string line = "  2  U+0410 А  " + row.place + "\n";
    EXPECT_NE(platform.output.find(line), std::string::npos)
        << platform.output.substr(0, 200);
    // The place kept before is known whatever became of the text.
    EXPECT_NE(platform.output.find("  3  U+0416 Ж  first at a.txt:1:1\n"),
              std::string::npos);
    // A text is opened a second time without waiting: a pipe in its place
    // would hold the check waiting for a writer that may never come.
    if (*row.fails == 0 && row.kind == FakePlatform::Kind::Ordinary) {
      EXPECT_EQ(platform.second_mode, OpenMode::ReadAtOnce);
    }
    if (clean_log.empty())
      clean_log = platform.log;
  }
}

// A code page left out of the order of preference would never be
// suggested; one in it twice, or unknown, is a slip.
TEST(CheckTexts, PrefersEveryCodePageOnce) {
  std::vector<int> preferred(PreferredCodePages().begin(),
                             PreferredCodePages().end());
  std::vector<int> known;
  for (const CodePage& code_page : KnownCodePages())
    known.push_back(code_page.number);
  std::sort(preferred.begin(), preferred.end());
  EXPECT_EQ(preferred, known);
}

}  // namespace
}  // namespace mdlReplace
