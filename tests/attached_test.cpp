#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "attached/attached_font.h"
#include "fake_platform.h"
#include "fonts/font.h"
#include "fonts/formats.h"
#include "front/run.h"

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
    EXPECT_EQ(ReadAttachedFont(platform, &font), row.found);
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
  EXPECT_EQ(platform.messages,
            std::vector<std::string>{kShown + std::string(kNoAttachedFont)});
  EXPECT_TRUE(platform.Logged("open-rw").empty());
  EXPECT_TRUE(platform.files == before);
}

// Missing or short data would make a broken block: refused before the
// program is touched. (Every other failure of an attach is injected by
// fault_test.cpp.)
TEST_F(AttachTest, RefusesAMissingOrShortFont) {
  const auto before_missing = platform.files;
  platform.files.erase("my.fnt");
  EXPECT_EQ(RunProgram(platform), kExitFailure);
  platform.files["my.fnt"].bytes.resize(kFontSize - 1);
  EXPECT_EQ(RunProgram(platform), kExitFailure);
  // A font file of another format would give its header as glyphs.
  FontImage drawn{};
  const std::vector<std::uint8_t> glyphs = FontPattern(3);
  std::copy(glyphs.begin(), glyphs.end(), drawn.begin());
  platform.files["my.fnt"].bytes = WriteFont(drawn, FontFormat::Psf);
  ASSERT_GE(platform.files["my.fnt"].bytes.size(), kFontSize);
  EXPECT_EQ(RunProgram(platform), kExitFailure);
  EXPECT_EQ(
      platform.messages,
      (std::vector<std::string>{kShown + "Font file not found",
                                kShown + "Font is not 8x8, or is compressed",
                                kShown + "Font is not 8x8, or is compressed"}));
  EXPECT_TRUE(platform.files[kProgram] == before_missing.at(kProgram));
  EXPECT_EQ(platform.files.size(), 2u) << "a copy was left behind";
  EXPECT_TRUE(platform.Logged("lock").empty());
}

}  // namespace
}  // namespace mdlReplace
