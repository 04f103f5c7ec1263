// What a file of the user's gives as a font, by what the font is for: one
// table of rules, read top to bottom, the first that holds deciding. The
// rules are pure: what they need to know of the file is looked at by the
// caller, and only when a rule reaches it, so that nothing is read that
// the decision does not need.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace mdlReplace {

// What the font is for, which decides what is taken.
enum class SourceUse {
  // A patch run's font file in the forms the game's players always typed,
  // named as they spell paths: any file of 2048 bytes is a raw font.
  Patch,
  // A patch run's font that was dropped on the program: read as the tools
  // read it, and what is no font is named as what it is. (A game file
  // dropped names its game instead, front/drop.h, and is never a drop's
  // font.)
  Drop,
  // Attaching a font to the program.
  Attach,
  // --show, --convert and --merge, and the page: a font source at the
  // exact path, a pipe too.
  Tool,
};

// What the rules ask of a file, each looked at once at most.
enum class SourceFact {
  RawFontLength,      // it is 2048 bytes long
  GameFileName,       // it is named as one of the game's files, in any case
  EndsWithBlock,      // it ends with a font block, as a program that
                      // carries a font does
  LongerThanAnyFont,  // it is longer than any font file (kLargestFontFile)
  BeginsLikeFormat,   // its bytes begin like a format's other than raw
  HoldsRawFont,       // it has at least 2048 bytes
  ShortcutName,       // its name ends with ".lnk", in any case
  IsProgram,          // it is a Windows (PE) or Linux (ELF) program
};
constexpr std::size_t kSourceFacts = 8;

enum class Answer : std::uint8_t { Unknown, No, Yes };

// What has been looked at of a file so far.
struct SourceFacts {
  std::array<Answer, kSourceFacts> answers{};  // all Unknown

  Answer Of(SourceFact fact) const {
    return answers[static_cast<std::size_t>(fact)];
  }
  void Learn(SourceFact fact, bool holds) {
    answers[static_cast<std::size_t>(fact)] = holds ? Answer::Yes : Answer::No;
  }
};

// What is taken of the file.
enum class SourceTake {
  Ask,              // nothing yet: the fact asked for must be looked at
  WholeFile,        // its 2048 bytes, as they are
  GameFont,         // the font at its version's offset (by its length)
  CarriedFont,      // the font of its last block
  FirstBytes,       // its first 2048 bytes
  FontFile,         // read as a font file, by its content and its name
  TooLong,          // refused as too long to be an 8x8 font
  NotEightByEight,  // refused as no 8x8 font
  Shortcut,         // refused as a shortcut, not the font it leads to
  Program,          // refused as a program
};

struct SourceDecision {
  SourceTake take;
  SourceFact ask;  // what to look at, when take is Ask
};

SourceDecision ClassifySource(SourceUse use, const SourceFacts& facts);

}  // namespace mdlReplace
