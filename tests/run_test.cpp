#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "attached/font_block.h"
#include "fake_platform.h"
#include "fonts/font.h"
#include "fonts/formats.h"
#include "fonts/glyph_block.h"
#include "fonts/image_picture.h"
#include "front/run.h"
#include "front/run_steps.h"
#include "patcher/patcher.h"

namespace mdlReplace {
namespace {

const std::string kSummary =
    "None of the game files were found or processed.\r\n"
    "Make sure you specified the right path, and you have a supported "
    "version of ZYR 2.\r\n\r\n"
    "For a list of supported versions, check the README.TXT file.";

std::string NotWritten(const std::string& name) {
  return name +
         " could not be written.\r\n"
         "Make sure it is not read-only and the game is not running.";
}

// The box of a file that could not be written: the reason, what to do.
std::string NotWritten(const std::string& name, const std::string& why) {
  return name + " could not be written.\r\n" + why;
}

const std::string kAsAdministrator =
    ". Start the program as administrator: right-click Command Prompt, "
    "choose \"Run as administrator\", and paste there:\r\n";

std::string SizeReport(const std::string& name, const std::string& length) {
  return name + " File size: " + length +
         "\r\nMaybe it's a different version of the game.";
}

// What a file holds besides bytes of its own: a program's header, or a
// block with the run's font at its end; or only the letters A to Z of the
// run's font, as a text font or a hex font, padded with empty lines to
// the file's length.
enum class Content { Bytes, Program, CarriedFont, TextLetters, HexLetters };

// What the targets patched get: the run's font, its letters alone (from a
// text or hex font read as one), or a text font's bytes (taken as raw).
enum class Taken { Font, Letters, TextFontBytes };

constexpr std::ptrdiff_t kFirstLetter = 0x41;
constexpr std::ptrdiff_t kLastLetter = 0x5A;

std::string HexDigits(std::uint8_t byte) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

// The letters of the font in the text format or as a hex font, which in
// code page 437 keeps them at their codes.
std::vector<std::uint8_t> Letters(const std::vector<std::uint8_t>& font,
                                  Content content, std::size_t length) {
  std::string text;
  for (std::ptrdiff_t code = kFirstLetter; code <= kLastLetter; ++code) {
    const auto glyph = font.begin() + code * 8;
    if (content == Content::HexLetters) {
      text += "00" + HexDigits(static_cast<std::uint8_t>(code)) + ":";
      for (int row = 0; row < 8; ++row)
        text += HexDigits(glyph[row]);
      text += "\n";
      continue;
    }
    text += "0x" + HexDigits(static_cast<std::uint8_t>(code)) + "\n";
    for (int row = 0; row < 8; ++row) {
      for (int column = 0; column < 8; ++column)
        text += (glyph[row] & (0x80 >> column)) != 0 ? '#' : '.';
      text += "\n";
    }
    text += "\n";
  }
  if (text.size() < length)
    text.append(length - text.size(), '\n');
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

struct FileSetup {
  std::string path;
  std::uint64_t length;
  bool read_only = false;  // refuses to be written, for the reason:
  Refusal refusal = Refusal::ReadOnlyFile;
  FakePlatform::Kind kind = FakePlatform::Kind::Ordinary;
  Content content = Content::Bytes;
};

struct Patched {
  std::string path;
  std::uint64_t offset;
};

struct RunCase {
  const char* name;
  std::string arguments;
  std::vector<FileSetup> files;
  std::vector<std::string> messages;  // without the caption
  int exit_status;
  std::vector<Patched> patched;  // every other file stays as it was
  // As on Linux: programs lie apart from games, and no administrator is
  // offered.
  bool as_on_linux = false;
  // On Windows, the program runs as administrator already.
  bool elevated = false;
  Taken taken = Taken::Font;
};

const FileSetup kFont = {R"(GAME\ZYR2.FNT)", 2048};
const std::string kDos = R"(GAME\ZYR2.DOS)";
const std::string kExe = R"(GAME\ZYR2.EXE)";
const std::string kBranvel = R"(GAME\BRANVEL.EXE)";
// Beside the program, C:\TOOLS\ZYR2FONT.EXE, where a player put it.
const std::string kExeBesideProgram = R"(C:\TOOLS\ZYR2.EXE)";
const FileSetup kDroppedFont = {R"(C:\my fonts\cyr font.fnt)", 2048};
// A game elsewhere, and another copy's, as players drop them.
const std::string kGames = R"(C:\my games\zyr 2\)";
const std::string kOldExe = R"(C:\OLD\ZYR2.EXE)";
const FileSetup kGamesFolder = {R"(C:\my games\zyr 2)", 0, false,
                                Refusal::Unknown, FakePlatform::Kind::Folder};
const FileSetup kProgramCarryingFont = {R"(C:\TOOLS\ZYR2FONT.EXE)",
                                        5000,
                                        false,
                                        Refusal::Unknown,
                                        FakePlatform::Kind::Ordinary,
                                        Content::CarriedFont};
const std::string kSeveral =
    "Several files were dropped at once: drop one font at a time on "
    "ZYR2FONT.EXE, or one font and the game folder together.";

const RunCase kRunCases[] = {
    {"AllThreeKnownVersions",
     R"("game")",
     {kFont, {kDos, 928799}, {kExe, 615936}, {kBranvel, 616448}},
     {},
     0,
     {{kDos, 881700}, {kExe, 513588}, {kBranvel, 514100}}},
    {"OtherVersions",
     R"("GAME\")",
     {kFont, {kDos, 945979}, {kExe, 597504}, {kBranvel, 615936}},
     {},
     0,
     {{kDos, 899108}, {kExe, 497968}, {kBranvel, 513588}}},
    {"LastVersions",
     R"("Game")",
     {kFont, {kDos, 946491}, {kExe, 616448}, {kBranvel, 597504}},
     {},
     0,
     {{kDos, 899620}, {kExe, 514100}, {kBranvel, 497968}}},
    {"OnlyOneTarget",
     R"("game")",
     {kFont, {kExe, 615936}},
     {},
     0,
     {{kExe, 513588}}},
    {"UnknownLengthAlone",
     R"("game")",
     {kFont, {kDos, 1000000}},
     {SizeReport("ZYR2.DOS", "1000000"), kSummary},
     1,
     {}},
    {"UnknownLengthBesidePatched",
     R"("game")",
     {kFont, {kDos, 597504}, {kBranvel, 597504}},
     {SizeReport("ZYR2.DOS", "597504")},
     0,
     {{kBranvel, 497968}}},
    {"NoTarget", R"("game")", {kFont}, {kSummary}, 1, {}},
    {"ReadOnlyTargetBesideWritable",
     R"("game")",
     {kFont, {kDos, 928799, true}, {kExe, 597504}},
     {NotWritten("ZYR2.DOS",
                 "ZYR2.DOS is read-only: clear Read-only in its Properties.")},
     0,
     {{kExe, 497968}}},
    // Every target found, none written: no summary that says none was
    // found.
    {"GameOnAReadOnlyMedium",
     R"("game")",
     {kFont,
      {kDos, 928799, true, Refusal::ReadOnlyMedium},
      {kExe, 597504, true, Refusal::ReadOnlyMedium}},
     {NotWritten("ZYR2.DOS",
                 "ZYR2.DOS is on a disc or a drive that cannot be written: "
                 "copy its folder to the hard disk and use the copy."),
      NotWritten("ZYR2.EXE",
                 "ZYR2.EXE is on a disc or a drive that cannot be written: "
                 "copy its folder to the hard disk and use the copy.")},
     1,
     {}},
    {"TargetInUse",
     R"("game")",
     {kFont, {kExe, 597504, true, Refusal::InUse}, {kBranvel, 597504}},
     {NotWritten("ZYR2.EXE",
                 "ZYR2.EXE is in use by another program, as when the game is "
                 "running: close it, then try again.")},
     0,
     {{kBranvel, 497968}}},
    {"TargetNotWrittenForNoKnownReason",
     R"("game")",
     {kFont, {kExe, 597504, true, Refusal::Unknown}},
     {NotWritten("ZYR2.EXE")},
     1,
     {}},
    {"ReadOnlyUnknownLengthGetsSizeMessage",
     R"("game")",
     {kFont, {kExe, 12, true}},
     {SizeReport("ZYR2.EXE", "12"), kSummary},
     1,
     {}},
    {"FontNotFound",
     R"("game")",
     {{kExe, 597504}},
     {"Font file not found"},
     1,
     {}},
    {"FontTooShort",
     R"("game")",
     {{kFont.path, 2047}, {kExe, 597504}},
     {"Font is not 8x8, or is compressed"},
     1,
     {}},
    {"FontTooLong",
     R"("game")",
     {{kFont.path, 2049}, {kExe, 597504}},
     {"Font is not 8x8, or is compressed"},
     1,
     {}},
    {"FontPathUpperCased",
     R"("other/my.fnt" "game")",
     {{R"(OTHER\MY.FNT)", 2048}, {kExe, 597504}},
     {},
     0,
     {{kExe, 497968}}},
    // Where names have case, the name as typed wins over its upper case.
    {"TypedFontNameWins",
     R"("my.fnt" "game")",
     {{"my.fnt", 2048}, {"MY.FNT", 2047}, {kExe, 597504}},
     {},
     0,
     {{kExe, 497968}}},
    {"TypedFolderNameWins",
     R"("zyr2")",
     {{R"(zyr2\ZYR2.FNT)", 2048},
      {R"(zyr2\ZYR2.EXE)", 597504},
      {R"(ZYR2\ZYR2.EXE)", 597504}},
     {},
     0,
     {{R"(zyr2\ZYR2.EXE)", 497968}}},
    {"EmptyFontPath",
     R"("" "game")",
     {kFont, {kExe, 597504}},
     {"Font file not found"},
     1,
     {}},
    {"EmptyGameFolderIsRoot",
     R"("f" "")",
     {{"F", 2048}, {R"(\ZYR2.EXE)", 597504}},
     {},
     0,
     {{R"(\ZYR2.EXE)", 497968}}},
    {"DefaultRunUsesCurrentFolder",
     "",
     {{R"(.\ZYR2.FNT)", 2048}, {R"(.\BRANVEL.EXE)", 616448}},
     {},
     0,
     {{R"(.\BRANVEL.EXE)", 514100}}},
    {"Rejection",
     R"("a" "b" "c")",
     {kFont, {kExe, 597504}},
     {"Too many parameters"},
     1,
     {}},
    {"DroppedFontPatchesTheProgramsFolder",
     R"(C:\fonts\my.fnt)",
     {{R"(C:\fonts\my.fnt)", 2048},
      {kExeBesideProgram, 597504},
      {kExe, 597504}},
     {},
     0,
     {{kExeBesideProgram, 497968}}},
    {"QuotedDroppedFontIsNoGameFolder",
     R"("C:\my fonts\cyr font.fnt")",
     {kDroppedFont, {kExeBesideProgram, 615936}},
     {},
     0,
     {{kExeBesideProgram, 513588}}},
    {"DroppedFontNoGameBesideProgram",
     R"("C:\my fonts\cyr font.fnt")",
     {kDroppedFont, {kExe, 597504}},
     {"The game's files are not in C:\\TOOLS, where ZYR2FONT.EXE is. Put "
      "ZYR2FONT.EXE in the game's folder and drop the font on it there, or "
      "drop the font and the game folder together."},
     1,
     {}},
    {"DroppedFontWhereProgramsLieApart",
     R"("C:\my fonts\cyr font.fnt")",
     {kDroppedFont, {kExe, 597504}},
     {R"(C:\my fonts\cyr font.fnt was given alone, so the game was looked for )"
      R"(beside the program, in C:\TOOLS\, and none of its files is there.)"
      "\r\n"
      R"(Name the game folder after the font: zyr2font "C:\my fonts\cyr )"
      R"(font.fnt" "GAME FOLDER")"},
     1,
     {},
     true},
    {"DroppedFontOfAnotherFormat",
     R"("C:\my fonts\cyr font.fnt")",
     {{kDroppedFont.path, 2047}, {kExeBesideProgram, 597504}},
     {"Font is not 8x8, or is compressed\r\n"
      R"(The file dropped was C:\my fonts\cyr font.fnt.)"},
     1,
     {}},
    {"DroppedPhotoWithTheGameFolder",
     R"(C:\photos\cat.jpg C:\GAMES\ZYR2)",
     {{R"(C:\photos\cat.jpg)", 70000},
      {R"(C:\GAMES\ZYR2)", 0, false, Refusal::Unknown,
       FakePlatform::Kind::Folder},
      {R"(C:\GAMES\ZYR2\ZYR2.EXE)", 597504}},
     {"Font is not 8x8, or is compressed\r\n"
      R"(The file dropped was C:\photos\cat.jpg.)"},
     1,
     {}},
    // The folder as it is named, where names have case, holds the files.
    {"DroppedFolderUnquoted",
     "game",
     {{"game", 0, false, Refusal::Unknown, FakePlatform::Kind::Folder},
      {R"(game\ZYR2.FNT)", 2048},
      {R"(game\ZYR2.EXE)", 597504}},
     {},
     0,
     {{R"(game\ZYR2.EXE)", 497968}}},
    // The command to paste names every path in full: an administrator's
    // prompt begins in System32.
    {"TargetDeniedUnderProgramFiles",
     R"("game")",
     {kFont, {kExe, 597504, true, Refusal::Denied}},
     {NotWritten("ZYR2.EXE", "Windows does not allow you to change ZYR2.EXE" +
                                 kAsAdministrator +
                                 R"("C:\TOOLS\ZYR2FONT.EXE" )"
                                 R"("C:\PLAY\game\ZYR2.FNT" "C:\PLAY\game")")},
     1,
     {}},
    // The way to an administrator once: its command patches every file.
    {"TargetsDeniedUnderProgramFiles",
     R"("game")",
     {kFont,
      {kDos, 928799, true, Refusal::Denied},
      {kExe, 597504, true, Refusal::Denied}},
     {NotWritten("ZYR2.DOS", "Windows does not allow you to change ZYR2.DOS" +
                                 kAsAdministrator +
                                 R"("C:\TOOLS\ZYR2FONT.EXE" )"
                                 R"("C:\PLAY\game\ZYR2.FNT" "C:\PLAY\game")"),
      NotWritten("ZYR2.EXE",
                 "You may not change ZYR2.EXE: its permissions do not allow "
                 "it.")},
     1,
     {}},
    // A Command Prompt takes no share as its current folder; pushd maps
    // it to a drive.
    {"FolderOnAShareDroppedDenied",
     R"(\\server\games\zyr2)",
     {kProgramCarryingFont,
      {R"(\\server\games\zyr2)", 0, false, Refusal::Unknown,
       FakePlatform::Kind::Folder},
      {R"(\\server\games\zyr2\ZYR2.EXE)", 597504, true, Refusal::Denied}},
     {NotWritten("ZYR2.EXE", "Windows does not allow you to change ZYR2.EXE" +
                                 kAsAdministrator +
                                 R"(pushd "\\server\games\zyr2" && )"
                                 R"("C:\TOOLS\ZYR2FONT.EXE")")},
     1,
     {}},
    {"TargetDeniedAsOnLinux",
     R"("game")",
     {kFont, {kExe, 597504, true, Refusal::Denied}},
     {NotWritten("ZYR2.EXE",
                 "You may not change ZYR2.EXE: its permissions do not allow "
                 "it.")},
     1,
     {},
     true},
    {"DroppedFontDenied",
     R"("C:\my fonts\cyr font.fnt")",
     {kDroppedFont, {kExeBesideProgram, 597504, true, Refusal::Denied}},
     {NotWritten("ZYR2.EXE", "Windows does not allow you to change ZYR2.EXE" +
                                 kAsAdministrator +
                                 R"("C:\TOOLS\ZYR2FONT.EXE" )"
                                 R"("C:\my fonts\cyr font.fnt" "C:\TOOLS")")},
     1,
     {}},
    {"DefaultRunWithTheCarriedFontDenied",
     "",
     {kProgramCarryingFont, {R"(.\ZYR2.EXE)", 597504, true, Refusal::Denied}},
     {NotWritten("ZYR2.EXE",
                 "Windows does not allow you to change ZYR2.EXE" +
                     kAsAdministrator +
                     R"(cd /d "C:\PLAY" && "C:\TOOLS\ZYR2FONT.EXE")")},
     1,
     {}},
    // A game file dropped names its game, whichever copy; it is never the
    // font.
    {"DroppedGameFilePatchesItsGame",
     R"(C:\GAMES\ZYR2\ZYR2.EXE)",
     {{R"(C:\GAMES\ZYR2\ZYR2.FNT)", 2048},
      {R"(C:\GAMES\ZYR2\ZYR2.DOS)", 946491},
      {R"(C:\GAMES\ZYR2\ZYR2.EXE)", 616448},
      {R"(C:\GAMES\ZYR2\BRANVEL.EXE)", 597504},
      {kExeBesideProgram, 597504}},
     {},
     0,
     {{R"(C:\GAMES\ZYR2\ZYR2.DOS)", 899620},
      {R"(C:\GAMES\ZYR2\ZYR2.EXE)", 514100},
      {R"(C:\GAMES\ZYR2\BRANVEL.EXE)", 497968}}},
    {"QuotedDroppedGameFileInAnyCase",
     "\"" + kGames + "zyr2.exe\"",
     {{kGames + "zyr2.fnt", 2048}, {kGames + "zyr2.exe", 615936}},
     {},
     0,
     {{kGames + "zyr2.exe", 513588}}},
    {"DroppedGameFileWithTheCarriedFont",
     kOldExe,
     {kProgramCarryingFont, {kOldExe, 616448}, {kExeBesideProgram, 597504}},
     {},
     0,
     {{kOldExe, 514100}}},
    {"DroppedGameFileWithoutAFont",
     kOldExe,
     {{kOldExe, 616448}, {kExeBesideProgram, 597504}},
     {"ZYR2.EXE is one of the game's files, not a font: dropped on "
      "ZYR2FONT.EXE, it patches its game with the ZYR2.FNT beside it, or "
      R"(else the font attached to the program, and there is neither (no )"
      R"(C:\OLD\ZYR2.FNT). Drop the font itself, or the font and the game )"
      "folder together."},
     1,
     {}},
    // A font and a folder (or a game file) dropped together, in either
    // order, each quoted only where it holds a blank.
    {"DroppedFontAndFolder",
     R"(C:\fonts\my.fnt C:\GAMES\ZYR2)",
     {{R"(C:\fonts\my.fnt)", 2048},
      {R"(C:\GAMES\ZYR2)", 0, false, Refusal::Unknown,
       FakePlatform::Kind::Folder},
      {R"(C:\GAMES\ZYR2\ZYR2.EXE)", 597504},
      {kExeBesideProgram, 597504}},
     {},
     0,
     {{R"(C:\GAMES\ZYR2\ZYR2.EXE)", 497968}}},
    {"DroppedFolderAndFontQuoted",
     "\"" + kGames.substr(0, kGames.size() - 1) +
         R"(" "C:\my fonts\cyr font.fnt")",
     {kDroppedFont, kGamesFolder, {kGames + "ZYR2.DOS", 928799}},
     {},
     0,
     {{kGames + "ZYR2.DOS", 881700}}},
    {"DroppedGameFileAndFont",
     "\"" + kGames + R"(ZYR2.DOS" C:\fonts\my.fnt)",
     {{R"(C:\fonts\my.fnt)", 2048}, {kGames + "ZYR2.DOS", 928799}},
     {},
     0,
     {{kGames + "ZYR2.DOS", 881700}}},
    {"TwoFontsDropped",
     R"(C:\fonts\my.fnt C:\fonts\other.fnt)",
     {{R"(C:\fonts\my.fnt)", 2048},
      {R"(C:\fonts\other.fnt)", 2048},
      {kExeBesideProgram, 597504}},
     {kSeveral},
     1,
     {}},
    {"TwoFontsWithBlanksDropped",
     R"("C:\my fonts\cyr font.fnt" "C:\my fonts\lat font.fnt")",
     {kDroppedFont,
      {R"(C:\my fonts\lat font.fnt)", 2048},
      {kExeBesideProgram, 597504}},
     {kSeveral},
     1,
     {}},
    {"AnotherCopysGameFileAndFolderDropped",
     kOldExe + R"( C:\GAMES\ZYR2)",
     {{kOldExe, 616448},
      {R"(C:\GAMES\ZYR2)", 0, false, Refusal::Unknown,
       FakePlatform::Kind::Folder},
      {R"(C:\GAMES\ZYR2\ZYR2.EXE)", 597504}},
     {kSeveral},
     1,
     {}},
    {"ThreeFilesDropped",
     R"("a" "b" "c")",
     {{"a", 2048}, {"b", 2048}, {"c", 2048}, {kExeBesideProgram, 597504}},
     {kSeveral},
     1,
     {}},
    // Typed, a font and a game folder are the parser's, as they always
    // were.
    {"FontAndFolderTyped",
     R"("C:\my fonts\cyr font.fnt" "C:\my games\zyr 2")",
     {kDroppedFont, kGamesFolder, {kGames + "ZYR2.EXE", 597504}},
     {},
     0,
     {{kGames + "ZYR2.EXE", 497968}}},
    {"ShortcutDropped",
     R"(C:\Users\me\Desktop\my font.lnk)",
     {{R"(C:\Users\me\Desktop\my font.lnk)", 2048},
      {kExeBesideProgram, 597504}},
     {R"(C:\Users\me\Desktop\my font.lnk is a shortcut: drop the font )"
      "itself."},
     1,
     {}},
    {"ProgramDropped",
     R"(C:\TOOLS\setup.exe)",
     {{R"(C:\TOOLS\setup.exe)", 70000, false, Refusal::Unknown,
       FakePlatform::Kind::Ordinary, Content::Program},
      {kExeBesideProgram, 597504}},
     {R"(C:\TOOLS\setup.exe is a program, not a font: drop the font )"
      "itself."},
     1,
     {}},
    // Dropped, a file of 2048 bytes is read as the tools read it: as its
    // format, unless its name says raw; typed, it is raw, as it always was.
    {"DroppedTextFontOf2048BytesIsText",
     R"(C:\fonts\abc.txt)",
     {{R"(C:\fonts\abc.txt)", 2048, false, Refusal::Unknown,
       FakePlatform::Kind::Ordinary, Content::TextLetters},
      {kExeBesideProgram, 597504}},
     {},
     0,
     {{kExeBesideProgram, 497968}},
     false,
     false,
     Taken::Letters},
    {"DroppedTextFontOf2048BytesNamedRaw",
     R"(C:\fonts\abc.fnt)",
     {{R"(C:\fonts\abc.fnt)", 2048, false, Refusal::Unknown,
       FakePlatform::Kind::Ordinary, Content::TextLetters},
      {kExeBesideProgram, 597504}},
     {},
     0,
     {{kExeBesideProgram, 497968}},
     false,
     false,
     Taken::TextFontBytes},
    {"TypedTextFontOf2048BytesIsRaw",
     R"("C:\fonts\abc.txt" "game")",
     {{R"(C:\fonts\abc.txt)", 2048, false, Refusal::Unknown,
       FakePlatform::Kind::Ordinary, Content::TextLetters},
      {kExe, 597504}},
     {},
     0,
     {{kExe, 497968}},
     false,
     false,
     Taken::TextFontBytes},
    // A font placed by a code page tells how many codes got a glyph, as the
    // tools do, after the run's own boxes, once it went in.
    {"DroppedHexFontTellsItsCodes",
     R"(C:\fonts\abc.hex)",
     {{R"(C:\fonts\abc.hex)", 0, false, Refusal::Unknown,
       FakePlatform::Kind::Ordinary, Content::HexLetters},
      {R"(C:\TOOLS\ZYR2.DOS)", 1000},
      {kExeBesideProgram, 597504}},
     {SizeReport("ZYR2.DOS", "1000"),
      R"(C:\fonts\abc.hex: 26 of 256 codes have a glyph in code page 437.)"},
     0,
     {{kExeBesideProgram, 497968}},
     false,
     false,
     Taken::Letters},
    {"TypedHexFontTellsItsCodes",
     R"("abc.hex" "game")",
     {{"abc.hex", 0, false, Refusal::Unknown, FakePlatform::Kind::Ordinary,
       Content::HexLetters},
      {kExe, 597504}},
     {"abc.hex: 26 of 256 codes have a glyph in code page 437."},
     0,
     {{kExe, 497968}},
     false,
     false,
     Taken::Letters},
    {"HexFontThatWentNowhereTellsNothing",
     R"("abc.hex" "game")",
     {{"abc.hex", 0, false, Refusal::Unknown, FakePlatform::Kind::Ordinary,
       Content::HexLetters}},
     {kSummary},
     1,
     {}},
    // A pipe is read to its end, typed or dropped.
    {"FontFromAPipe",
     R"("fonts\pipe" "game")",
     {{R"(fonts\pipe)", 2048, false, Refusal::Unknown,
       FakePlatform::Kind::Pipe},
      {kExe, 597504}},
     {},
     0,
     {{kExe, 497968}}},
    {"HexFontFromAPipeDropped",
     R"(C:\fonts\hex pipe)",
     {{R"(C:\fonts\hex pipe)", 0, false, Refusal::Unknown,
       FakePlatform::Kind::Pipe, Content::HexLetters},
      {kExeBesideProgram, 597504}},
     {R"(C:\fonts\hex pipe: 26 of 256 codes have a glyph in code page 437.)"},
     0,
     {{kExeBesideProgram, 497968}},
     false,
     false,
     Taken::Letters},
    // As administrator already, the line to paste would fail the same way.
    {"TargetDeniedToAnAdministrator",
     R"("game")",
     {kFont, {kExe, 597504, true, Refusal::Denied}},
     {NotWritten("ZYR2.EXE",
                 "Windows does not allow even an administrator to change "
                 "ZYR2.EXE: see who may change it on the Security tab of its "
                 "Properties, or copy the game's folder to a folder of your "
                 "own and patch the copy.")},
     1,
     {},
     false,
     true},
    // Typed or dropped with the game folder, as Explorer quotes both paths
    // that hold a blank, a shortcut or a program is named for what it is.
    {"ShortcutWithTheGameFolder",
     R"("C:\Users\me\Desktop\my font.lnk" "C:\my games\zyr 2")",
     {{R"(C:\Users\me\Desktop\my font.lnk)", 1500},
      kGamesFolder,
      {kGames + "ZYR2.EXE", 597504}},
     {R"(C:\Users\me\Desktop\my font.lnk is a shortcut: drop the font )"
      "itself."},
     1,
     {}},
    {"ProgramWithTheGameFolder",
     R"("C:\TOOLS\setup.exe" "C:\my games\zyr 2")",
     {{R"(C:\TOOLS\setup.exe)", 70000, false, Refusal::Unknown,
       FakePlatform::Kind::Ordinary, Content::Program},
      kGamesFolder,
      {kGames + "ZYR2.EXE", 597504}},
     {R"(C:\TOOLS\setup.exe is a program, not a font: drop the font )"
      "itself."},
     1,
     {}},
    // Dropped, the game names the font it took, and what to do; typed, the
    // message stays the one players know.
    {"DroppedGameFileWithAFontNotOf8x8",
     R"(C:\GAMES\ZYR2\ZYR2.EXE)",
     {{R"(C:\GAMES\ZYR2\ZYR2.FNT)", 2047},
      {R"(C:\GAMES\ZYR2\ZYR2.EXE)", 616448}},
     {"Font is not 8x8, or is compressed\r\n"
      R"(The font was C:\GAMES\ZYR2\ZYR2.FNT, beside the game's files: )"
      "drop your font and the game folder together, or save your font over "
      "it."},
     1,
     {}},
    {"DroppedFolderWithoutAFont",
     "game",
     {{"game", 0, false, Refusal::Unknown, FakePlatform::Kind::Folder},
      {R"(game\ZYR2.EXE)", 597504}},
     {"Font file not found\r\n"
      R"(The font was looked for as game\ZYR2.FNT, beside the game's files: )"
      "drop your font and the game folder together, or save your font there "
      "under that name."},
     1,
     {}},
    // Explorer quotes a folder with a blank in its name: still a drop.
    {"DroppedFolderWithABlankQuoted",
     "\"" + kGames.substr(0, kGames.size() - 1) + "\"",
     {kGamesFolder, {kGames + "ZYR2.FNT", 0}, {kGames + "ZYR2.EXE", 597504}},
     {"Font is not 8x8, or is compressed\r\n"
      R"(The font was C:\my games\zyr 2\ZYR2.FNT, beside the game's files: )"
      "drop your font and the game folder together, or save your font over "
      "it."},
     1,
     {}},
    {"DroppedFolderWithABlankWithoutAFont",
     "\"" + kGames.substr(0, kGames.size() - 1) + "\"",
     {kGamesFolder, {kGames + "ZYR2.EXE", 597504}},
     {"Font file not found\r\n"
      R"(The font was looked for as C:\my games\zyr 2\ZYR2.FNT, beside )"
      "the game's files: drop your font and the game folder together, or "
      "save your font there under that name."},
     1,
     {}},
    // A game folder dropped on a program that carries a font: the
    // ZYR2.FNT there, else the carried font; but quoted, it is also the
    // typed form, whose font is its ZYR2.FNT alone.
    {"DroppedFolderWithTheCarriedFont",
     "game",
     {kProgramCarryingFont,
      {"game", 0, false, Refusal::Unknown, FakePlatform::Kind::Folder},
      {R"(game\ZYR2.EXE)", 597504}},
     {},
     0,
     {{R"(game\ZYR2.EXE)", 497968}}},
    {"QuotedFolderWithABlankKeepsItsTypedFont",
     "\"" + kGames.substr(0, kGames.size() - 1) + "\"",
     {kProgramCarryingFont, kGamesFolder, {kGames + "ZYR2.EXE", 597504}},
     {"Font file not found\r\n"
      R"(The font was looked for as C:\my games\zyr 2\ZYR2.FNT, beside )"
      "the game's files: drop your font and the game folder together, or "
      "save your font there under that name."},
     1,
     {}},
    {"DroppedFolderItsOwnFontBeforeTheCarried",
     "game",
     {kProgramCarryingFont,
      {"game", 0, false, Refusal::Unknown, FakePlatform::Kind::Folder},
      {R"(game\ZYR2.FNT)", 2048},
      {R"(game\ZYR2.EXE)", 597504}},
     {},
     0,
     {{R"(game\ZYR2.EXE)", 497968}}},
    {"DroppedFolderWhoseZyr2FntIsAFolder",
     "game",
     {{"game", 0, false, Refusal::Unknown, FakePlatform::Kind::Folder},
      {R"(game\ZYR2.FNT)", 0, false, Refusal::Unknown,
       FakePlatform::Kind::Folder},
      {R"(game\ZYR2.EXE)", 597504}},
     {"Font file not found\r\n"
      R"(The font was looked for as game\ZYR2.FNT, beside the game's files, )"
      "and that is a folder, not a font: drop your font and the game folder "
      "together."},
     1,
     {}},
    // A quoted folder without a blank is typed, as players always typed
    // it: the message they know.
    {"TypedQuotedFolderWithoutAFont",
     R"("C:\GAMES\ZYR2")",
     {kProgramCarryingFont,
      {R"(C:\GAMES\ZYR2)", 0, false, Refusal::Unknown,
       FakePlatform::Kind::Folder},
      {R"(C:\GAMES\ZYR2\ZYR2.EXE)", 597504}},
     {"Font file not found"},
     1,
     {}},
    // The first double-click: what is missing, then what to do.
    {"DefaultRunWithoutAnyFont",
     "",
     {{R"(.\ZYR2.EXE)", 597504}},
     {"The program's executable file doesn't contain the font\r\n"
      R"(The font was looked for as C:\PLAY\ZYR2.FNT: drop your font on )"
      "ZYR2FONT.EXE, or save it as ZYR2.FNT beside the game's ZYR2.EXE and "
      "start ZYR2FONT.EXE there."},
     1,
     {}},
    {"DefaultRunWhereZyr2FntIsAFolder",
     "",
     {{R"(.\ZYR2.FNT)", 0, false, Refusal::Unknown, FakePlatform::Kind::Folder},
      {R"(.\ZYR2.EXE)", 597504}},
     {"The program's executable file doesn't contain the font\r\n"
      R"(C:\PLAY\ZYR2.FNT is a folder, not a font: drop your font on )"
      "ZYR2FONT.EXE."},
     1,
     {}},
    {"DefaultRunWithAnEmptyZyr2Fnt",
     "",
     {{R"(.\ZYR2.FNT)", 0}, {R"(.\ZYR2.EXE)", 597504}},
     {"Font is not 8x8, or is compressed\r\n"
      R"(The font was C:\PLAY\ZYR2.FNT: save your font over it, or drop )"
      "your font on ZYR2FONT.EXE."},
     1,
     {}},
    {"DefaultRunWithoutAnyFontAsOnLinux",
     "",
     {{R"(.\ZYR2.EXE)", 597504}},
     {"The program's executable file doesn't contain the font\r\n"
      "The font was looked for as ZYR2.FNT in the current folder: name your "
      "font and the game folder: zyr2font \"FONT\" \"GAME FOLDER\""},
     1,
     {},
     true},
    {"BareFolderRejected",
     "game",
     {kFont, {kExe, 597504}},
     {"Incorrect parameter format"},
     1,
     {}},
};

void PrintTo(const RunCase& row, std::ostream* out) {
  *out << row.name;
}

class RunTest : public testing::TestWithParam<RunCase> {};

TEST_P(RunTest, Run) {
  const RunCase& row = GetParam();
  FakePlatform platform;
  platform.argument_text = row.arguments;
  for (const FileSetup& setup : row.files) {
    platform.AddFile(setup.path, setup.length, 0xEE);
    platform.files[setup.path].read_only = setup.read_only;
    platform.files[setup.path].refusal = setup.refusal;
    platform.files[setup.path].kind = setup.kind;
  }
  platform.programs_lie_apart = row.as_on_linux;
  platform.administrator = row.as_on_linux ? Administrator::None
                           : row.elevated  ? Administrator::Already
                                           : Administrator::Offered;
  const std::vector<std::uint8_t> font = Pattern(kFontSize, 1);
  for (auto& [path, file] : platform.files) {
    if (file.bytes.size() == kFontSize)
      file.bytes = font;
  }
  for (const FileSetup& setup : row.files) {
    std::vector<std::uint8_t>& bytes = platform.files[setup.path].bytes;
    if (setup.content == Content::Program) {
      // "MZ", and at 0x3C the offset of "PE" and two zeros.
      const std::uint8_t header[] = {'M', 'Z'};
      const std::uint8_t pe[] = {'P', 'E', 0, 0};
      std::copy(std::begin(header), std::end(header), bytes.begin());
      std::fill_n(bytes.begin() + 0x3C, 4, 0);
      bytes[0x3C] = 0x80;
      std::copy(std::begin(pe), std::end(pe), bytes.begin() + 0x80);
    }
    if (setup.content == Content::CarriedFont) {
      bytes.insert(bytes.end(), FontBlockMarker.begin(), FontBlockMarker.end());
      bytes.insert(bytes.end(), font.begin(), font.end());
    }
    if (setup.content == Content::TextLetters ||
        setup.content == Content::HexLetters)
      bytes = Letters(font, setup.content, setup.length);
  }
  std::vector<std::uint8_t> taken = font;
  if (row.taken == Taken::TextFontBytes)
    taken = Letters(font, Content::TextLetters, kFontSize);
  if (row.taken == Taken::Letters) {
    std::fill(taken.begin(), taken.end(), 0);
    std::copy(font.begin() + kFirstLetter * 8,
              font.begin() + (kLastLetter + 1) * 8,
              taken.begin() + kFirstLetter * 8);
  }
  const std::map<std::string, FakePlatform::File> before = platform.files;

  EXPECT_EQ(RunProgram(platform), row.exit_status);

  std::vector<std::string> expected_messages;
  for (const std::string& message : row.messages)
    expected_messages.push_back(kShown + message);
  EXPECT_EQ(platform.messages, expected_messages);
  EXPECT_EQ(platform.OpenCount(), 0u) << "a file was left open";
  EXPECT_LE(platform.most_open_at_once, 1u);

  for (const auto& [path, file] : before) {
    SCOPED_TRACE(path);
    std::vector<std::uint8_t> expected = file.bytes;
    for (const Patched& patched : row.patched) {
      if (patched.path == path)
        std::copy(
            taken.begin(), taken.end(),
            expected.begin() + static_cast<std::ptrdiff_t>(patched.offset));
    }
    EXPECT_TRUE(platform.files[path].bytes == expected);
  }
  EXPECT_EQ(platform.files.size(), before.size());
}

INSTANTIATE_TEST_SUITE_P(Table, RunTest, testing::ValuesIn(kRunCases),
                         [](const auto& info) { return info.param.name; });

// A message that ends the run comes before any game file is looked at.
TEST(RunProgram, NothingTouchedAfterFatalMessage) {
  const std::vector<std::string> fatal_arguments = {R"("a" "b" "c")",
                                                    R"("game")"};
  for (const std::string& arguments : fatal_arguments) {
    FakePlatform platform;
    platform.argument_text = arguments;
    platform.AddFile(kFont.path, 2047);
    platform.AddFile(kExe, 597504);
    RunProgram(platform);
    for (const std::string& line : platform.log)
      EXPECT_EQ(line.find("ZYR2.EXE"), std::string::npos) << line;
    EXPECT_TRUE(platform.Logged("write").empty());
  }
}

// The patch reports each target, in the order tried: what became of it,
// where the font went, whether it held the font already, and the very
// message the user was shown of it.
TEST(PatchGameFolder, ReportsEachTarget) {
  // A target's report as expected; its message as it begins.
  struct Expected {
    std::string_view name;
    TargetOutcome outcome;
    std::uint64_t length;
    std::uint64_t offset;
    bool held_font;
    std::string_view message;
  };
  struct Row {
    const char* name;
    std::vector<FileSetup> files;
    bool font_there;  // ZYR2.DOS holds the font already
    std::vector<Expected> expected;
  };
  const FontImage font = [] {
    FontImage image{};
    const std::vector<std::uint8_t> bytes = FontPattern(3);
    std::copy(bytes.begin(), bytes.end(), image.begin());
    return image;
  }();
  constexpr TargetOutcome kAbsent = TargetOutcome::Absent;
  constexpr TargetOutcome kPatched = TargetOutcome::Patched;
  const std::vector<Row> rows = {
      {"PatchedUnknownAndAbsent",
       {{kExe, 615936}, {kBranvel, 1000}},
       false,
       {{"ZYR2.DOS", kAbsent, 0, 0, false, ""},
        {"ZYR2.EXE", kPatched, 615936, 513588, false, ""},
        {"BRANVEL.EXE", TargetOutcome::UnknownLength, 1000, 0, false,
         "BRANVEL.EXE File size: 1000"}}},
      {"HeldTheFontAlready",
       {{kDos, 945979}},
       true,
       {{"ZYR2.DOS", kPatched, 945979, 899108, true, ""},
        {"ZYR2.EXE", kAbsent, 0, 0, false, ""},
        {"BRANVEL.EXE", kAbsent, 0, 0, false, ""}}},
      {"ReadOnly",
       {{kExe, 615936, true}},
       false,
       {{"ZYR2.DOS", kAbsent, 0, 0, false, ""},
        {"ZYR2.EXE", TargetOutcome::NotWritten, 615936, 0, false,
         "ZYR2.EXE could not be written."},
        {"BRANVEL.EXE", kAbsent, 0, 0, false, ""}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakePlatform platform;
    for (const FileSetup& setup : row.files) {
      platform.AddFile(setup.path, setup.length, 0xEE);
      platform.files[setup.path].read_only = setup.read_only;
    }
    if (row.font_there)
      std::copy(font.begin(), font.end(),
                platform.files[kDos].bytes.begin() + 899108);
    const PatchReport report =
        PatchGameFolder(platform, platform, "GAME\\", font, AsAdministrator{});
    ASSERT_EQ(report.targets.size(), row.expected.size());
    std::vector<std::string> said;
    for (std::size_t i = 0; i < row.expected.size(); ++i) {
      const TargetReport& got = report.targets[i];
      const Expected& want = row.expected[i];
      EXPECT_EQ(got.name, want.name);
      EXPECT_EQ(got.outcome, want.outcome) << got.name;
      EXPECT_EQ(got.length, want.length) << got.name;
      EXPECT_EQ(got.offset, want.offset) << got.name;
      EXPECT_EQ(got.held_font, want.held_font) << got.name;
      EXPECT_EQ(got.message.rfind(want.message, 0), 0u) << got.message;
      EXPECT_EQ(got.message.empty(), want.message.empty()) << got.name;
      if (!got.message.empty())
        said.push_back(kShown + got.message);
    }
    // The user was shown the report's messages, in its order, and nothing
    // else (a target patched leaves no summary).
    EXPECT_EQ(platform.messages, said);
    EXPECT_EQ(report.any_patched, row.name != std::string("ReadOnly"));
  }
}

// Each target is written once, with one write of the whole font, flushed.
TEST(RunProgram, OneFlushedWritePerTarget) {
  FakePlatform platform;
  platform.argument_text = R"("GAME")";
  platform.AddFile(kFont.path, 2048);
  platform.AddFile(kExe, 597504);
  platform.AddFile(kDos, 946491);
  EXPECT_EQ(RunProgram(platform), 0);
  // Each file is opened once, after a look (which opens nothing) whether
  // the text names a file dropped on the program; the bytes under the font
  // are read first, to go
  // back should the write fail.
  const std::vector<std::string> expected = {
      "look GAME",           "open-r " + kFont.path, "read " + kFont.path,
      "close " + kFont.path, "open-rw " + kDos,      "read " + kDos,
      "write " + kDos,       "flush " + kDos,        "close " + kDos,
      "open-rw " + kExe,     "read " + kExe,         "write " + kExe,
      "flush " + kExe,       "close " + kExe,        "open-rw " + kBranvel};
  EXPECT_EQ(platform.log, expected);
}

struct CommandCase {
  const char* name;
  std::vector<std::string> arguments;
  std::string message;  // without the caption; empty when none is shown
  int exit_status;
  std::string written;  // the destination holding the font, if any
};

// The font tools: a font from a game file, a program or a font file, to a
// destination named by its extension, and nothing written on a refusal.
TEST(RunProgram, Commands) {
  const std::vector<std::uint8_t> font = FontPattern(4);
  const std::string kCodePages =
      "437, 737, 775, 850, 852, 855, 857, 860, 861, 862, 863, 864, 865, 866, "
      "869, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257 and 1258";
  const CommandCase cases[] = {
      {"from a game file",
       {"--convert", R"(game\zyr2.exe)", "out.png"},
       "",
       0,
       "out.png"},
      {"from a game file of another length",
       {"--convert", R"(game\BRANVEL.EXE)", "out.fnt"},
       "game\\BRANVEL.EXE File size: 3000\r\nMaybe it's a different version "
       "of the game.",
       1,
       ""},
      {"from a program carrying a font",
       {"--convert", "zyr2font.exe", "out.txt"},
       "",
       0,
       "out.txt"},
      {"to a game file",
       {"--convert", "my.fnt", R"(game\zyr2.exe)"},
       R"(game\zyr2.exe does not end with an extension that names a font )"
       "format: .fnt, .f08, .bin, .psf, .bdf, .ttf, .otb, .png or .txt.",
       1,
       ""},
      {"from nothing",
       {"--convert", "none.fnt", "out.fnt"},
       "none.fnt was not found.",
       1,
       ""},
      {"from no font",
       {"--convert", "zyr2font.orig", "out.fnt"},
       "zyr2font.orig is taken for a raw font, but is 5000 bytes long, not "
       "2048.",
       1,
       ""},
      {"over an existing file",
       {"--convert", "my.fnt", "old.bdf"},
       "",
       0,
       "old.bdf"},
      {"shown", {"--show", "my.fnt"}, "", 0, ""},
      {"from a pipe", {"--convert", "pipe", "out.psf"}, "", 0, "out.psf"},
      {"from a folder",
       {"--show", "album.png"},
       "album.png is not a font file.",
       1,
       ""},
      {"to a folder",
       {"--convert", "my.fnt", "album.png"},
       "album.png could not be written.",
       1,
       ""},
      {"help with a file",
       {"--help", "extra"},
       "--help takes no file: zyr2font --help",
       1,
       ""},
      {"without a source",
       {"--show"},
       "--show takes one file: zyr2font --show [--codepage N] SOURCE",
       1,
       ""},
      {"with three files",
       {"--convert", "a", "b", "c"},
       "--convert takes two files: zyr2font --convert [--codepage N] "
       "SOURCE DEST [--codes CODES --width W]",
       1,
       ""},
      {"a code page for a font that keeps its codes",
       {"--convert", "--codepage", "866", "my.fnt", "out.fnt"},
       "",
       0,
       "out.fnt"},
      {"a code page there is none of",
       {"--show", "--codepage", "0866x", "my.fnt"},
       "--codepage takes the number of a code page, not \"0866x\": " +
           kCodePages + ".",
       1,
       ""},
      {"glyphs taken where the base is blank",
       {"--merge", "half.fnt", "my.fnt", "out.fnt"},
       "",
       0,
       "out.fnt"},
      {"glyphs taken at the codes given",
       {"--merge", "half.fnt", "my.fnt", "out.bdf", "--codes", "0x80-0xFE,255"},
       "",
       0,
       "out.bdf"},
      {"codes that are no range",
       {"--merge", "half.fnt", "my.fnt", "out.fnt", "--codes", "0x90-0x80"},
       "--codes takes codes from 0x00 to 0xFF and ranges of them, as "
       "0x80-0xAF,0xE0, not \"0x90-0x80\".",
       1,
       ""},
      {"codes not given",
       {"--merge", "half.fnt", "my.fnt", "out.fnt", "--codes"},
       "--codes takes codes from 0x00 to 0xFF and ranges of them, as "
       "0x80-0xAF,0xE0.",
       1,
       ""},
      {"codes given twice",
       {"--merge", "half.fnt", "my.fnt", "out.fnt", "--codes", "1", "--codes",
        "2"},
       "--codes is given twice: zyr2font --merge [--codepage N] BASE OTHER "
       "DEST [--codes CODES [--width W]]",
       1,
       ""},
      {"codes given first",
       {"--merge", "--codes", "0-255", "half.fnt", "my.fnt", "out.fnt"},
       "",
       0,
       "out.fnt"},
      {"codes given before the code page",
       {"--merge", "--codes", "0x80-0xFF", "--codepage", "866", "half.fnt",
        "my.fnt", "out.fnt"},
       "",
       0,
       "out.fnt"},
      {"the code page given among the files",
       {"--convert", "my.fnt", "--codepage", "866", "out.fnt"},
       "",
       0,
       "out.fnt"},
      {"the code page given twice",
       {"--check", "--codepage", "866", "--codepage", "437", "my.fnt",
        "en.txt"},
       "--codepage is given twice: zyr2font --check [--codepage N] [--all] "
       "FONT TEXT...",
       1,
       ""},
      {"an option of another command",
       {"--show", "--all", "my.fnt"},
       "--all is an option of --check, not of --show: zyr2font --show "
       "[--codepage N] SOURCE",
       1,
       ""},
      {"--codes given to --convert without --width",
       {"--convert", "my.fnt", "out.png", "--codes", "1"},
       "--convert writes the glyphs of --codes as a block, and needs --width, "
       "the glyphs across its picture: zyr2font --convert [--codepage N] "
       "SOURCE DEST [--codes CODES --width W]",
       1,
       ""},
      {"--width given to --show",
       {"--show", "my.fnt", "--width", "2"},
       "--width is an option of --convert and --merge, not of --show: "
       "zyr2font --show [--codepage N] SOURCE",
       1,
       ""},
      {"a block written as a font",
       {"--convert", "my.fnt", "out.fnt", "--codes", "1-4", "--width", "2"},
       "out.fnt does not end with .png or .txt, the pictures a block is "
       "written as.",
       1,
       ""},
      {"--width without --codes",
       {"--merge", "half.fnt", "logo.png", "out.fnt", "--width", "4"},
       "--width needs --codes, the block's codes in reading order: zyr2font "
       "--merge [--codepage N] BASE OTHER DEST [--codes CODES [--width W]]",
       1,
       ""},
      {"a width of no glyphs",
       {"--convert", "my.fnt", "out.png", "--codes", "1-4", "--width", "0"},
       "--width takes the number of glyphs across a block, from 1 to 256, not "
       "\"0\".",
       1,
       ""},
      {"a code twice in a block",
       {"--merge", "half.fnt", "logo.png", "out.fnt", "--codes",
        "0x41,0x40-0x42", "--width", "2"},
       "--codes gives 0x41 twice, but each code of a block has one place in "
       "its picture.",
       1,
       ""},
      {"a block wider than its codes",
       {"--convert", "my.fnt", "out.png", "--codes", "1-4", "--width", "5"},
       "--width 5 is more glyphs across than the 4 codes of --codes.",
       1,
       ""},
      {"a picture of another size than the block's",
       {"--merge", "half.fnt", "logo.png", "out.fnt", "--codes", "0xF0-0xF7",
        "--width", "4"},
       "logo.png is 40x16; 4 glyphs across and 2 down need 32x16, or a whole "
       "multiple of it.",
       1,
       ""},
      {"a font given as a block's picture",
       {"--merge", "half.fnt", "my.fnt", "out.fnt", "--codes", "0xF0-0xF7",
        "--width", "4"},
       "my.fnt is not a PNG, BMP or GIF image.",
       1,
       ""},
      {"a folder given as a block's picture",
       {"--merge", "half.fnt", "album.png", "out.fnt", "--codes", "0xF0-0xF7",
        "--width", "4"},
       "album.png is not a PNG, BMP or GIF image.",
       1,
       ""},
      {"a block's picture from nothing",
       {"--merge", "half.fnt", "none.png", "out.fnt", "--codes", "0xF0-0xF7",
        "--width", "4"},
       "none.png was not found.",
       1,
       ""},
      {"a picture of the blank half put in its block",
       {"--merge", "--width", "16", "half.fnt", "upper.png", "out.psf",
        "--codes", "0x80-0xFF"},
       "",
       0,
       "out.psf"},
      {"a picture of the blank half from a pipe",
       {"--merge", "half.fnt", "upper pipe", "out.fnt", "--codes", "0x80-0xFF",
        "--width", "16"},
       "",
       0,
       "out.fnt"},
      {"a file named like an option",
       {"--show", "--my.fnt"},
       "--my.fnt is not an option of --show (a file named so is given as "
       "./--my.fnt): zyr2font --show [--codepage N] SOURCE",
       1,
       ""},
      {"a code page of no table, for a font that keeps its codes",
       {"--convert", "--codepage", "880", "my.fnt", "out.fnt"},
       "",
       0,
       "out.fnt"},
      {"a code page of no table, for a font keyed by characters",
       {"--show", "--codepage", "880", "zhe.hex"},
       "zhe.hex is keyed by characters, and this program has no table of code "
       "page 880 to place them by: it has " +
           kCodePages + ".",
       1,
       ""},
      {"a code page of no table, for a BDF",
       {"--convert", "--codepage", "880", "my.fnt", "out.bdf"},
       "out.bdf is keyed by characters, and this program has no table of code "
       "page 880 to key it by: it has " +
           kCodePages + ".",
       1,
       ""},
      {"a code page of no table, for a TrueType font",
       {"--merge", "--codepage", "880", "my.fnt", "my.fnt", "out.ttf"},
       "out.ttf is keyed by characters, and this program has no table of code "
       "page 880 to key it by: it has " +
           kCodePages + ".",
       1,
       ""},
      {"glyphs smaller than 8x8, placed by a code page",
       {"--show", "small.bdf"},
       "small.bdf has 5x7 glyphs; they are placed in 8x8 cells.\r\n"
       "small.bdf: 1 of 256 codes have a glyph in code page 437.",
       0,
       ""},
      {"merge without its destination",
       {"--merge", "half.fnt", "my.fnt"},
       "--merge takes three files: zyr2font --merge [--codepage N] BASE "
       "OTHER DEST [--codes CODES [--width W]]",
       1,
       ""},
      {"a check of a text the font draws whole",
       {"--check", "my.fnt", "en.txt"},
       "",
       0,
       ""},
      {"a check of a text from a pipe, --all before the code page",
       {"--check", "--all", "--codepage", "866", "my.fnt", "text pipe"},
       "",
       1,
       ""},
      {"a check with the code page among the texts, --all last",
       {"--check", "my.fnt", "--codepage", "866", "en.txt", "--all"},
       "",
       0,
       ""},
      {"a check in a code page of no table",
       {"--check", "--codepage", "880", "my.fnt", "en.txt"},
       "--check reads the texts as characters, and this program has no table "
       "of code page 880 to find their codes by: it has " +
           kCodePages + ".",
       1,
       ""},
      {"a check of a folder",
       {"--check", "my.fnt", "en.txt", "album.png"},
       "album.png is not a text file.",
       1,
       ""},
      {"a check without a text",
       {"--check", "--codepage", "866", "--all", "my.fnt"},
       "--check takes a font and one or more texts: zyr2font --check "
       "[--codepage N] [--all] FONT TEXT...",
       1,
       ""},
      {"unknown",
       {"--shwo", "my.fnt"},
       "--shwo is not a command of this program; zyr2font --help lists them.",
       1,
       ""},
  };
  for (const CommandCase& row : cases) {
    SCOPED_TRACE(row.name);
    FakePlatform platform;
    platform.command_arguments = row.arguments;
    platform.AddFile(R"(game\zyr2.exe)", 615936, 0xEE);
    std::copy(font.begin(), font.end(),
              platform.files[R"(game\zyr2.exe)"].bytes.begin() + 513588);
    platform.AddFile(R"(game\BRANVEL.EXE)", 3000);
    platform.files["my.fnt"].bytes = font;
    const std::string_view hex = "0416:0101010101010101\n";
    platform.files["zhe.hex"].bytes.assign(hex.begin(), hex.end());
    const std::string_view bdf =
        "STARTFONT 2.1\nFONTBOUNDINGBOX 5 7 0 -1\nSTARTPROPERTIES 1\n"
        "CHARSET_REGISTRY \"ISO10646\"\nENDPROPERTIES\nSTARTCHAR A\n"
        "ENCODING 65\nBITMAP\n20\n50\n88\nF8\n88\n88\n88\nENDCHAR\n"
        "ENDFONT\n";
    platform.files["small.bdf"].bytes.assign(bdf.begin(), bdf.end());
    // The font's lower half alone: the upper half blank.
    platform.files["half.fnt"].bytes = font;
    std::fill(platform.files["half.fnt"].bytes.begin() + 1024,
              platform.files["half.fnt"].bytes.end(), 0);
    platform.AddFile("old.bdf", 10, 0x55);
    Picture logo;
    logo.width = 40;
    logo.height = 16;
    logo.pixels.assign(std::size_t{40} * 16, 0);
    logo.pixels[3] = std::uint8_t(PictureColour::Ink);
    platform.files["logo.png"].bytes = WritePicturePng(logo);
    FontImage whole{};
    std::copy(font.begin(), font.end(), whole.begin());
    GlyphBlock upper{{}, 16};
    for (std::size_t code = 0x80; code < 0x100; ++code)
      upper.codes.push_back(code);
    platform.files["upper.png"].bytes = WritePicturePng(CutBlock(whole, upper));
    platform.files["upper pipe"] = {platform.files["upper.png"].bytes, false,
                                    false, FakePlatform::Kind::Pipe};
    platform.files["album.png"].kind = FakePlatform::Kind::Folder;
    platform.files["pipe"] = {font, false, false, FakePlatform::Kind::Pipe};
    platform.files["en.txt"].bytes = {'a', 'b', 'c', '\n'};
    // "é", which code page 866 lacks.
    platform.files["text pipe"] = {
        {0xC3, 0xA9}, false, false, FakePlatform::Kind::Pipe};
    platform.files["zyr2font.orig"].bytes = Pattern(5000, 9);
    platform.files["zyr2font.exe"].bytes = Pattern(5000, 9);
    platform.files["zyr2font.exe"].bytes.insert(
        platform.files["zyr2font.exe"].bytes.end(), FontBlockMarker.begin(),
        FontBlockMarker.end());
    platform.files["zyr2font.exe"].bytes.insert(
        platform.files["zyr2font.exe"].bytes.end(), font.begin(), font.end());
    const auto before = platform.files;

    EXPECT_EQ(RunProgram(platform), row.exit_status);
    const std::string& message = row.message;
    EXPECT_EQ(platform.messages,
              message.empty() ? std::vector<std::string>{}
                              : std::vector<std::string>{kShown + message});
    // Only the destination changes, and it holds the font whole.
    for (const auto& [path, file] : platform.files) {
      if (path == row.written) {
        FontImage read{};
        EXPECT_EQ(ReadFont(path, file.bytes, &read), "");
        EXPECT_TRUE(std::equal(read.begin(), read.end(), font.begin()));
      } else {
        EXPECT_TRUE(before.count(path) != 0 && before.at(path) == file) << path;
      }
    }
    EXPECT_EQ(platform.OpenCount(), 0u);
    // --show prints the font after a notice; a check prints its report
    // whether or not every character is drawn, but never after a message.
    const bool reports =
        (row.arguments[0] == "--show" && row.exit_status == 0) ||
        (row.arguments[0] == "--check" && message.empty());
    EXPECT_EQ(platform.output.empty(), !reports);
  }
}

// In a window, which shows a report's first lines, the summary that ends
// it on a console comes first, above the lists; the lines are the same.
TEST(RunProgram, CheckReportInAWindowLeadsWithItsSummary) {
  std::string reports[2];
  for (const Drawing drawing : {Drawing::Ascii, Drawing::Picture}) {
    FakePlatform platform;
    platform.drawing = drawing;
    platform.command_arguments = {"--check", "my.fnt", "fr.txt"};
    platform.AddFile("my.fnt", kFontSize, 0);
    // "é", which the blank font lacks in code page 437.
    platform.files["fr.txt"].bytes = {'a', 0xC3, 0xA9, '\n'};
    EXPECT_EQ(RunProgram(platform), kExitFailure);
    reports[drawing == Drawing::Picture ? 1 : 0] = platform.output;
  }
  const std::string& console = reports[0];
  const std::size_t last_line = console.rfind('\n', console.size() - 2) + 1;
  ASSERT_LT(last_line, console.size());
  EXPECT_EQ(reports[1],
            console.substr(last_line) + "\n" + console.substr(0, last_line));
}

}  // namespace
}  // namespace mdlReplace
