#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "attached/attached_font.h"
#include "attached/font_block.h"
#include "attached/program_file.h"
#include "fake_platform.h"
#include "fonts/font.h"
#include "fonts/formats.h"
#include "front/run.h"
#include "front/run_steps.h"

namespace mdlReplace {
namespace {

const std::string kProgram = R"(C:\TOOLS\ZYR2FONT.EXE)";

std::vector<std::uint8_t> Block(const std::vector<std::uint8_t>& font) {
  std::vector<std::uint8_t> block(kFontBlockSize);
  std::copy(FontBlockMarker.begin(), FontBlockMarker.end(), block.begin());
  std::copy_n(font.begin(), kFontSize, block.begin() + FontBlockMarker.size());
  return block;
}

std::vector<std::uint8_t> Joined(std::vector<std::uint8_t> a,
                                 const std::vector<std::uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<std::uint8_t> TextBytes(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

struct ReadCase {
  const char* name;
  std::vector<std::uint8_t> executable;
  bool found;
  std::vector<std::uint8_t> font;
};

TEST(ReadAttachedFont, Table) {
  const std::vector<std::uint8_t> first = Pattern(kFontSize, 1);
  const std::vector<std::uint8_t> second = Pattern(kFontSize, 2);
  std::vector<std::uint8_t> short_block = Block(first);
  short_block.erase(short_block.begin());
  std::vector<std::uint8_t> bad_marker = Joined(Pattern(5000, 3), Block(first));
  bad_marker[5000 + 7] ^= 1;
  const ReadCase cases[] = {
      {"empty", {}, false, {}},
      {"shorter than a block", short_block, false, {}},
      {"only a block", Block(first), true, first},
      {"block after the program", Joined(Pattern(100000, 4), Block(first)),
       true, first},
      {"last of two blocks", Joined(Block(first), Block(second)), true, second},
      {"one marker byte differs", bad_marker, false, {}},
      {"no block", Pattern(100000, 5), false, {}},
  };
  for (const ReadCase& row : cases) {
    SCOPED_TRACE(row.name);
    FakePlatform platform;
    platform.files[kProgram].bytes = row.executable;
    FontImage font{};
    EXPECT_EQ(ReadAttachedFont(platform, platform, platform, &font), row.found);
    if (row.found) {
      EXPECT_TRUE(std::equal(font.begin(), font.end(), row.font.begin()));
      EXPECT_TRUE(platform.messages.empty());
    } else {
      EXPECT_EQ(platform.messages, std::vector<std::string>{
                                       kShown + std::string(kNoAttachedFont)});
    }
    EXPECT_EQ(platform.OpenCount(), 0u);
  }
}

class AttachTest : public testing::Test {
 protected:
  void SetUp() override {
    platform.files[kProgram].bytes = program;
    platform.files["my.fnt"].bytes = font;
    platform.argument_text = R"(/A:"my.fnt")";
  }
  FakePlatform platform;
  const std::vector<std::uint8_t> program = Pattern(70000, 7);
  std::vector<std::uint8_t> font = Pattern(kFontSize, 8);
};

TEST_F(AttachTest, AppendsOneBlockAndSwapsInOneStep) {
  EXPECT_EQ(RunProgram(platform), kExitSuccess);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(platform.files[kProgram].bytes, Joined(program, Block(font)));
  EXPECT_EQ(platform.files.size(), 2u) << "a copy was left behind";
  EXPECT_EQ(platform.Logged("rename").size(), 1u);
  EXPECT_TRUE(platform.Logged("write " + kProgram).empty())
      << "the running program was written in place";
  EXPECT_EQ(platform.OpenCount(), 0u);
}

TEST_F(AttachTest, AttachedFontServesARunWithoutArguments) {
  font = Pattern(kFontSize + 500, 9);  // a longer font gives its first 2048
  platform.files["my.fnt"].bytes = font;
  ASSERT_EQ(RunProgram(platform), kExitSuccess);
  platform.argument_text = "";
  platform.AddFile(R"(.\ZYR2.EXE)", 597504);
  EXPECT_EQ(RunProgram(platform), kExitSuccess);
  const std::vector<std::uint8_t>& game = platform.files[R"(.\ZYR2.EXE)"].bytes;
  EXPECT_TRUE(std::equal(font.begin(), font.begin() + kFontSize,
                         game.begin() + 497968));
}

TEST_F(AttachTest, RunWithoutArgumentsOrBlockChangesNothing) {
  platform.argument_text = "";
  platform.AddFile(R"(.\ZYR2.EXE)", 597504, 0x55);
  const auto before = platform.files;
  EXPECT_EQ(RunProgram(platform), kExitFailure);
  // The first double-click's box: what is missing, and what to do.
  EXPECT_EQ(platform.messages,
            std::vector<std::string>{
                kShown + std::string(kNoAttachedFont) +
                "\r\nThe font was looked for as C:\\PLAY\\ZYR2.FNT: drop your "
                "font on ZYR2FONT.EXE, or save it as ZYR2.FNT beside the "
                "game's ZYR2.EXE and start ZYR2FONT.EXE there."});
  EXPECT_TRUE(platform.Logged("open-rw").empty());
  EXPECT_TRUE(platform.files == before);
}

// A refused attach says why, and what to do: the administrator's command
// only where the system denied the user the right, with full paths.
TEST_F(AttachTest, SaysWhyTheProgramWasNotWritten) {
  const std::string kTools = R"(C:\TOOLS)";
  struct Case {
    const char* name;
    std::string refused;  // the program, or its folder
    Refusal refusal;
    Administrator administrator;
    std::string why;
  };
  const Administrator kOffered = Administrator::Offered;
  const Case cases[] = {
      {"a read-only program", kProgram, Refusal::ReadOnlyFile, kOffered,
       "ZYR2FONT.EXE is read-only: clear Read-only in its Properties."},
      {"a program on a disc", kProgram, Refusal::ReadOnlyMedium, kOffered,
       "ZYR2FONT.EXE is on a disc or a drive that cannot be written: copy "
       "its folder to the hard disk and use the copy."},
      {"a folder under Program Files", kTools, Refusal::Denied, kOffered,
       "Windows does not allow you to write in C:\\TOOLS. Start the program "
       "as administrator: right-click Command Prompt, choose \"Run as "
       "administrator\", and paste there:\r\n"
       R"("C:\TOOLS\ZYR2FONT.EXE" /A:"C:\PLAY\my.fnt")"},
      {"a folder under Program Files on XP", kTools, Refusal::Denied,
       Administrator::OfferedAsAnotherUser,
       "Windows does not allow you to write in C:\\TOOLS. Start the program "
       "as an administrator: right-click Command Prompt, choose \"Run "
       "as...\" and an administrator's account, and paste there:\r\n"
       R"("C:\TOOLS\ZYR2FONT.EXE" /A:"C:\PLAY\my.fnt")"},
      {"a folder of another user's", kTools, Refusal::Denied,
       Administrator::None,
       "You may not write in C:\\TOOLS: its permissions do not allow it."},
      {"a program of another user's", kProgram, Refusal::Denied,
       Administrator::None,
       "You may not change ZYR2FONT.EXE: its permissions do not allow it."},
      // The game never holds the program.
      {"a program in use", kProgram, Refusal::InUse, kOffered,
       "ZYR2FONT.EXE is in use by another program: close it, then try "
       "again."},
      {"a folder Windows keeps even from an administrator", kTools,
       Refusal::Denied, Administrator::Already,
       "Windows does not allow even an administrator to write in "
       "C:\\TOOLS: see who may change it on the Security tab of its "
       "Properties, or copy ZYR2FONT.EXE to a folder of your own and attach "
       "the font to the copy."},
      {"a program Windows keeps even from an administrator", kProgram,
       Refusal::Denied, Administrator::Already,
       "Windows does not allow even an administrator to change "
       "ZYR2FONT.EXE: see who may change it on the Security tab of its "
       "Properties, or copy ZYR2FONT.EXE to a folder of your own and attach "
       "the font to the copy."},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    FakePlatform attach = platform;
    attach.files[row.refused].read_only = true;
    attach.files[row.refused].refusal = row.refusal;
    if (row.refused == kTools)
      attach.files[kTools].kind = FakePlatform::Kind::Folder;
    attach.administrator = row.administrator;
    const auto before = attach.files;
    EXPECT_EQ(RunProgram(attach), kExitFailure);
    EXPECT_EQ(attach.messages,
              std::vector<std::string>{kShown + std::string(kAttachFailed) +
                                       "\r\n" + row.why});
    EXPECT_TRUE(attach.files == before);
  }
}

// An attach takes the font that the file holds, as --convert reads it;
// a file in no font format gives its first 2048 bytes. What gives no font
// is refused before the program is touched. (Every other failure of an
// attach is injected by fault_test.cpp.)
TEST_F(AttachTest, TakesTheFontAFileHolds) {
  FontImage drawn{};
  const std::vector<std::uint8_t> glyphs = FontPattern(3);
  std::copy(glyphs.begin(), glyphs.end(), drawn.begin());
  std::vector<std::uint8_t> game(597504, 0x4D);
  std::copy(glyphs.begin(), glyphs.end(), game.begin() + 497968);
  // Cut short by a number of bytes.
  const auto Bdf = [&](std::ptrdiff_t cut) {
    std::vector<std::uint8_t> bdf = WriteFont(drawn, FontFormat::Bdf);
    bdf.erase(bdf.end() + cut, bdf.end());
    return bdf;
  };
  struct Case {
    const char* name;
    std::string path;
    std::vector<std::uint8_t> bytes;  // none: the file is not there
    std::string message;              // empty: glyphs attached
  };
  const Case cases[] = {
      {"a PSF font", "my.psf", WriteFont(drawn, FontFormat::Psf), ""},
      {"a PNG sheet", "my.png", WriteFont(drawn, FontFormat::Png), ""},
      {"a game file", R"(game\zyr2.exe)", game, ""},
      {"a program carrying a font", "other.exe",
       Joined(Pattern(9000, 1), Block(glyphs)), ""},
      {"2048 bytes named raw that begin like a PNG", "odd.fnt",
       Joined(WriteFont(drawn, FontFormat::Png), glyphs), ""},
      {"missing", "none.fnt", {}, "Font file not found"},
      {"short", "my.fnt", Pattern(kFontSize - 1, 1),
       "Font is not 8x8, or is compressed"},
      {"a game file of another length", R"(game\ZYR2.DOS)", Pattern(5000, 1),
       "game\\ZYR2.DOS File size: 5000\r\nMaybe it's a different version "
       "of the game."},
      {"a BDF font without its end", "my.bdf", Bdf(-8),
       "my.bdf is a BDF font that ends before its ENDFONT line."},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    FakePlatform attach;
    attach.files[kProgram].bytes = program;
    attach.argument_text = "/A:\"" + row.path + "\"";
    if (!row.bytes.empty())
      attach.files[row.path].bytes = row.bytes;
    if (std::string(row.name).find("named raw") != std::string::npos)
      attach.files[row.path].bytes.resize(kFontSize);
    const auto before = attach.files;
    EXPECT_EQ(RunProgram(attach),
              row.message.empty() ? kExitSuccess : kExitFailure);
    if (row.message.empty()) {
      const std::vector<std::uint8_t> expected =
          row.path == "odd.fnt" ? attach.files[row.path].bytes : glyphs;
      EXPECT_EQ(attach.files[kProgram].bytes, Joined(program, Block(expected)));
      EXPECT_TRUE(attach.messages.empty());
    } else {
      EXPECT_EQ(attach.messages,
                std::vector<std::string>{kShown + row.message});
      EXPECT_TRUE(attach.files == before);
      EXPECT_TRUE(attach.Logged("lock").empty());
    }
  }
}

// What the page takes to carry a font: a build of this program under any
// name, known by its header and its caption; not a game file, by name or
// by length, nor any other program.
TEST(WhyNotThisProgram, Table) {
  const std::vector<std::uint8_t> caption =
      TextBytes("..ZYR 2 Font Replacer..");
  std::vector<std::uint8_t> pe = Joined(TextBytes("MZ"), Pattern(200, 1));
  pe[0x3C] = 0x80;
  pe[0x3D] = pe[0x3E] = pe[0x3F] = 0;
  std::copy_n("PE\0\0", 4, pe.begin() + 0x80);
  std::vector<std::uint8_t> pe_past_end = pe;
  pe_past_end[0x3D] = 0x10;
  const std::vector<std::uint8_t> elf = Joined(TextBytes("\x7F"
                                                         "ELF"),
                                               caption);
  std::vector<std::uint8_t> game_length = Joined(pe, caption);
  game_length.resize(616448);
  const std::string give =
      " Give a copy of zyr2font.exe (or zyr2font) to carry the font.";
  const std::string not_build = " is not a build of this program." + give;
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::string why;  // empty: taken
  };
  const Case cases[] = {
      {"zyr2font.exe", Joined(pe, caption), ""},
      {"renamed.bin", Joined(pe, caption), ""},
      {"zyr2font", elf, ""},
      {"carries a font", Joined(elf, Block(Pattern(kFontSize, 2))), ""},
      {"BRANVEL.exe", Joined(pe, caption),
       "BRANVEL.exe is one of the game's files, not this program: the game "
       "takes the font when its files are patched." +
           give},
      {"copy.exe", game_length,
       "copy.exe is as long as the game's ZYR2.EXE or BRANVEL.EXE (616448 "
       "bytes): it is one of the game's files, not this program." +
           give},
      {"mz.exe", Joined(TextBytes("MZ"), Pattern(3000, 3)),
       "mz.exe" + not_build},
      {"no caption", pe, "no caption" + not_build},
      {"PE header past the end", Joined(pe_past_end, caption),
       "PE header past the end" + not_build},
      {"caption only", caption, "caption only" + not_build},
      {"empty", {}, "empty" + not_build},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(WhyNotThisProgram(row.name, row.bytes), row.why);
  }
}

}  // namespace
}  // namespace mdlReplace
