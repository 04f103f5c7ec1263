// One table of spelled paths, found alike on a real disk through the
// POSIX platform, in the tests' fake, and in the page's memory platform.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "base/names.h"
#include "fake_platform.h"
#include "memory_platform.h"
#include "platform/platform_posix.h"

namespace mdlReplace {
namespace {

constexpr int kNone = -1;

struct NameCase {
  const char* name;
  // Files there, a slash between names; a backslash is part of a name on
  // the disk, and separates as a slash does in the fake and the page.
  std::vector<std::string> entries;
  std::string spelled;
  int found;  // the entry that opens, or kNone
  // Where not empty, a game folder as a player gives it: the spelled path
  // is a name in it, joined to it as a run joins a game file's.
  std::string game_folder{};
};

void PrintTo(const NameCase& row, std::ostream* out) {
  *out << row.name;
}

const NameCase kNameCases[] = {
    {"AsTyped", {"zyr2.exe"}, "zyr2.exe", 0},
    {"UpperCase", {"ZYR2.EXE"}, "zyr2.exe", 0},
    {"AnyCase", {"Zyr2.Exe"}, "ZYR2.exe", 0},
    {"TypedBeforeUpper", {"ZYR2.EXE", "zyr2.exe"}, "zyr2.exe", 1},
    {"UpperBeforeAnyCase", {"Zyr2.exe", "ZYR2.EXE"}, "zyr2.exe", 1},
    {"FirstInByteOrder", {"zYr2.exe", "Zyr2.exe"}, "zyR2.exe", 1},
    {"OtherLengthNotFound", {"zyr2.exe"}, "zyr2.ex", kNone},
    {"NothingThere", {"zyr2.dos"}, "zyr2.exe", kNone},
    {"FolderNameByName", {"Game/Sub/zyr2.exe"}, "GAME/sub/ZYR2.EXE", 0},
    {"TypedFolderWins", {"GAME/ZYR2.EXE", "game/ZYR2.EXE"}, "game/zyr2.exe", 1},
    {"BackslashSeparates", {"Game/ZYR2.EXE"}, R"(game\zyr2.exe)", 0},
    {"BackslashInANameAsTyped", {R"(my\font.fnt)"}, R"(my\font.fnt)", 0},
    {"AbsentFolder", {"game/ZYR2.EXE"}, "games/ZYR2.EXE", kNone},
    {"GameFolderJoined", {"Game/ZYR2.DOS"}, "ZYR2.DOS", 0, "game"},
    // Not the file whose name holds the typed folder's backslash.
    {"TypedBackslashEndsFolder",
     {R"(game\ZYR2.DOS)", "game/ZYR2.DOS"},
     "ZYR2.DOS",
     1,
     R"(game\)"},
};

// The first byte of each entry is its number in the row.
std::vector<std::uint8_t> Content(std::size_t entry) {
  return {static_cast<std::uint8_t>(entry)};
}

// The path with backslashes between names, as the fake and the page keep
// their files.
std::string Backslashed(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// A folder on the disk that holds the row's entries, removed afterwards.
class DiskFolder {
 public:
  explicit DiskFolder(const std::vector<std::string>& entries) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "names-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      ADD_FAILURE() << "no temporary folder";
    path_ = pattern;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::filesystem::path file = path_ / entries[i];
      std::filesystem::create_directories(file.parent_path());
      std::ofstream(file, std::ios::binary)
          .put(static_cast<char>(Content(i)[0]));
    }
  }
  ~DiskFolder() { std::filesystem::remove_all(path_); }
  DiskFolder(const DiskFolder&) = delete;
  DiskFolder& operator=(const DiskFolder&) = delete;

  // The folder's path, with a separator after it.
  std::string Path() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

// Which entry the row's path opens in the files, or kNone; the folder is
// where the row's entries are, as the files spell it.
int Found(Files& files, const std::string& folder, const NameCase& row) {
  const std::string spelled =
      row.game_folder.empty()
          ? folder + row.spelled
          : PathInFolder(
                GivenFolder(folder + row.game_folder, files.Separator()),
                row.spelled, files.Separator());
  const OpenedFile file = files.Open(spelled, Naming::Spelled, OpenMode::Read);
  if (file.found != Found::File)
    return kNone;
  std::array<std::uint8_t, 1> first{};
  const bool read =
      file.length == first.size() && files.ReadAt(file.id, 0, first);
  files.Close(file.id);
  return read ? first[0] : kNone;
}

class NamesTest : public testing::TestWithParam<NameCase> {};

TEST_P(NamesTest, FoundAlikeOnEveryPlatform) {
  const NameCase& row = GetParam();
  FakePlatform fake;
  MemoryPlatform memory;
  for (std::size_t i = 0; i < row.entries.size(); ++i) {
    fake.files[Backslashed(row.entries[i])].bytes = Content(i);
    memory.files[Backslashed(row.entries[i])].bytes = Content(i);
  }
  const DiskFolder disk(row.entries);
  PosixPlatform posix({});
  EXPECT_EQ(Found(fake, "", row), row.found) << "fake";
  EXPECT_EQ(Found(memory, "", row), row.found) << "memory";
  EXPECT_EQ(Found(posix, disk.Path(), row), row.found) << "disk";
}

INSTANTIATE_TEST_SUITE_P(Table, NamesTest, testing::ValuesIn(kNameCases),
                         [](const testing::TestParamInfo<NameCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace mdlReplace
