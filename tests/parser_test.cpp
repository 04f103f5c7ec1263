#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "front/parser.h"
#include "platform/argument_text.h"

namespace mdlReplace {
namespace {

constexpr std::string_view kAccepted = "";

struct ParseCase {
  std::string text;
  std::string_view rejection;  // kAccepted, or the message
  RunKind kind = RunKind::Default;
  std::string font_path = "";
  std::string game_folder = "";
};

// Raw strings: what the user typed, quotes and backslashes as they stand.
const ParseCase kParseCases[] = {
    {"", kAccepted, RunKind::Default, R"(.\ZYR2.FNT)", R"(.\)"},
    // One parameter: a backslash is added once, and the font is inside.
    {R"("C:\GAME")", kAccepted, RunKind::GameFolder, R"(C:\GAME\ZYR2.FNT)",
     R"(C:\GAME\)"},
    {R"("C:\GAME\")", kAccepted, RunKind::GameFolder, R"(C:\GAME\ZYR2.FNT)",
     R"(C:\GAME\)"},
    {R"("")", kAccepted, RunKind::GameFolder, R"(\ZYR2.FNT)", R"(\)"},
    // Without its closing quote the folder loses its last character.
    {R"("C:\GAME)", kAccepted, RunKind::GameFolder, R"(C:\GAM\ZYR2.FNT)",
     R"(C:\GAM\)"},
    {R"("C:\GAME"x)", kAccepted, RunKind::GameFolder, R"(C:\GAME"\ZYR2.FNT)",
     R"(C:\GAME"\)"},
    // Two blanks hold no separator: one parameter with inner quotes.
    {R"("a"  "b")", kAccepted, RunKind::GameFolder, R"(a"  "b\ZYR2.FNT)",
     R"(a"  "b\)"},
    // A character dropped unseen is a whole UTF-8 character.
    {"\"C:\\Spiele\\Zyr\xC3\xA4", kAccepted, RunKind::GameFolder,
     "C:\\Spiele\\Zyr\\ZYR2.FNT", "C:\\Spiele\\Zyr\\"},
    {"/A:\"font\xE2\x82\xAC", kAccepted, RunKind::Attach, "font", ""},
    {"\xC3\xA4.fnt\" \"dir\"", kAccepted, RunKind::FontAndGameFolder, ".fnt",
     "dir"},
    {"\"a\" \"dir\xC3\xA4", kAccepted, RunKind::FontAndGameFolder, "a", "dir"},
    {"\"\xC3\xA4\"", kAccepted, RunKind::GameFolder, "\xC3\xA4\\ZYR2.FNT",
     "\xC3\xA4\\"},
    {"\"\xA4", kAccepted, RunKind::GameFolder, "\\ZYR2.FNT", "\\"},
    {R"(C:\GAME)", kIncorrectParameterFormat},
    {" ", kIncorrectParameterFormat},  // found by the fuzzer
    {R"(ab"cd")", kIncorrectParameterFormat},
    {R"(abc"def")", kIncorrectParameterFormat},
    {R"(x")", kIncorrectParameterFormat},
    {R"(")", kIncorrectParameterFormat},
    // Attach: the prefix is case-sensitive and the last character is dropped.
    {R"(/A:"my.fnt")", kAccepted, RunKind::Attach, "my.fnt", ""},
    {R"(/A:"my.fnt)", kAccepted, RunKind::Attach, "my.fn", ""},
    {R"(/A:"")", kAccepted, RunKind::Attach, "", ""},
    {R"(/a:"my.fnt")", kIncorrectParameterFormat},
    {R"(/A:")", kIncorrectParameterFormat},
    // Two parameters.
    {R"("abc" "xyz")", kAccepted, RunKind::FontAndGameFolder, "abc", "xyz"},
    {R"("f.fnt" "")", kAccepted, RunKind::FontAndGameFolder, "f.fnt", ""},
    {R"("" "dir")", kAccepted, RunKind::FontAndGameFolder, "", "dir"},
    {R"(x.fnt" "dir")", kAccepted, RunKind::FontAndGameFolder, ".fnt", "dir"},
    {R"("a" " ")", kAccepted, RunKind::FontAndGameFolder, "a", " "},
    // The separator count comes before the attach prefix.
    {R"(/A:"a" "b")", kAccepted, RunKind::FontAndGameFolder, R"(A:"a)", "b"},
    {R"(" ")", kIncorrectParameterFormat},
    {R"(" " ")", kIncorrectParameterFormat},
    {R"("abc" ")", kIncorrectParameterFormat},
    {R"(a" "b)", kIncorrectParameterFormat},
    {R"("a" "b" "c")", kTooManyParameters},
    {R"(/A:"a" "b" "c")", kTooManyParameters},
    {R"(" "" ")", kTooManyParameters},
};

TEST(ParseArgumentText, Table) {
  for (const ParseCase& row : kParseCases) {
    SCOPED_TRACE(row.text);
    const ParseResult result = ParseArgumentText(row.text);
    EXPECT_EQ(result.rejection, row.rejection);
    if (row.rejection.empty()) {
      EXPECT_EQ(result.request.kind, row.kind);
      EXPECT_EQ(result.request.font_path, row.font_path);
      EXPECT_EQ(result.request.game_folder, row.game_folder);
    }
  }
}

TEST(CountOccurrences, SkipsTwoAfterEachMatch) {
  const std::string_view separator = "\" \"";
  EXPECT_EQ(CountOccurrences("", separator), 0u);
  EXPECT_EQ(CountOccurrences("\"", separator), 0u);
  EXPECT_EQ(CountOccurrences("\" \"", separator), 1u);
  EXPECT_EQ(CountOccurrences("\" \" \"", separator), 1u);
  EXPECT_EQ(CountOccurrences("\" \"\" \"", separator), 2u);
  EXPECT_EQ(CountOccurrences("\"a\" \"b\" \"c\"", separator), 2u);
  // The skip is 2 whatever the pattern, so a one-character pattern still
  // misses the two characters after each match.
  EXPECT_EQ(CountOccurrences("aaaa", "a"), 2u);
}

struct RebuildCase {
  std::vector<std::string> arguments;
  std::string text;
};

const RebuildCase kRebuildCases[] = {
    {{}, ""},
    {{""}, R"("")"},
    {{"/games/zyr 2"}, R"("/games/zyr 2")"},
    {{"my.fnt", "/games/zyr2"}, R"("my.fnt" "/games/zyr2")"},
    {{"a", "b", "c"}, R"("a" "b" "c")"},
    {{"/A:my.fnt"}, R"(/A:"my.fnt")"},
    {{"/a:my font.fnt"}, R"(/a:"my font.fnt")"},
    {{"/A:"}, R"(/A:"")"},
    {{"/A"}, R"("/A")"},
    {{"/B:x"}, R"("/B:x")"},
    {{"--show", "--x"}, R"(--show "--x")"},
    {{"-h"}, R"("-h")"},
};

TEST(RebuildArgumentText, Table) {
  for (const RebuildCase& row : kRebuildCases) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(RebuildArgumentText(row.arguments), row.text);
  }
}

// What a Linux user types reaches the same answer as on Windows.
TEST(RebuildArgumentText, FormsParseAsOnWindows) {
  EXPECT_EQ(ParseArgumentText(RebuildArgumentText({"/a:my.fnt"})).rejection,
            kIncorrectParameterFormat);
  EXPECT_EQ(ParseArgumentText(RebuildArgumentText({"a", "b", "c"})).rejection,
            kTooManyParameters);
  const ParseResult attach = ParseArgumentText(RebuildArgumentText({"/A:f"}));
  EXPECT_EQ(attach.request.kind, RunKind::Attach);
  EXPECT_EQ(attach.request.font_path, "f");
  const ParseResult two =
      ParseArgumentText(RebuildArgumentText({"my.fnt", "/games/zyr 2"}));
  EXPECT_EQ(two.request.kind, RunKind::FontAndGameFolder);
  EXPECT_EQ(two.request.font_path, "my.fnt");
  EXPECT_EQ(two.request.game_folder, "/games/zyr 2");
}

struct SkipCase {
  std::wstring command_line;
  std::wstring text;
};

const SkipCase kSkipCases[] = {
    {L"", L""},
    {L"zyr2font.exe", L""},
    {L"zyr2font.exe   ", L""},
    {L"zyr2font.exe \"C:\\GAME\"", L"\"C:\\GAME\""},
    {L"zyr2font.exe\t \"a\"  \"b\" ", L"\"a\"  \"b\" "},
    {L"\"C:\\Program Files\\zyr2font.exe\" /A:\"f\"", L"/A:\"f\""},
    {L"\"C:\\my tools\\zyr2font.exe\"\"a\"", L"\"a\""},
    {L"\"unterminated name /A:\"f\"", L"f\""},
    {L"\"no closing quote at all", L""},
    {L" ", L""},
};

TEST(SkipProgramName, Table) {
  for (const SkipCase& row : kSkipCases)
    EXPECT_EQ(SkipProgramName(row.command_line), row.text);
}

}  // namespace
}  // namespace mdlReplace
