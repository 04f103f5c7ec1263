#include "fonts/source_rules.h"

#include <optional>

namespace mdlReplace {

namespace {

// The uses a rule is for.
constexpr unsigned kPatch = 1u << static_cast<unsigned>(SourceUse::Patch);
constexpr unsigned kDrop = 1u << static_cast<unsigned>(SourceUse::Drop);
constexpr unsigned kAttach = 1u << static_cast<unsigned>(SourceUse::Attach);
constexpr unsigned kTool = 1u << static_cast<unsigned>(SourceUse::Tool);
// A patch run's font, typed or dropped.
constexpr unsigned kPatchRun = kPatch | kDrop;
constexpr unsigned kEveryUse = kPatchRun | kAttach | kTool;

// For the uses, when the fact holds (always, without one), take this.
struct SourceRule {
  unsigned uses;
  std::optional<SourceFact> when;
  SourceTake take;
};

// Every use recognises a game file, a carried block and a font file
// alike, but a drop: a player drops the game's file to patch the game, not
// to take its font. The players' own fonts are raw: a typed patch run takes
// any file of 2048 bytes as it is, as it always has, and refuses what is in
// no format as no 8x8 font, naming a shortcut or a program for what it is.
// A drop has no such promise to keep, so it reads 2048 bytes as the tools
// do: raw where the name says so or no format's bytes begin it (a PNG sheet
// of 2048 bytes is a sheet). Attaching takes the first 2048 bytes of a
// file in no format, or too long to be a font file: the game's font is
// carried in programs of any size. The tools read everything else as a
// font file, which says what is wrong with it.
constexpr std::array<SourceRule, 14> kRules = {{
    {kDrop, SourceFact::ShortcutName, SourceTake::Shortcut},
    {kPatch, SourceFact::RawFontLength, SourceTake::WholeFile},
    {kDrop, SourceFact::RawFontLength, SourceTake::FontFile},
    {kPatch | kAttach | kTool, SourceFact::GameFileName, SourceTake::GameFont},
    {kEveryUse, SourceFact::EndsWithBlock, SourceTake::CarriedFont},
    {kTool, SourceFact::LongerThanAnyFont, SourceTake::TooLong},
    {kPatchRun, SourceFact::LongerThanAnyFont, SourceTake::NotEightByEight},
    {kAttach, SourceFact::LongerThanAnyFont, SourceTake::FirstBytes},
    {kTool, std::nullopt, SourceTake::FontFile},
    {kPatchRun | kAttach, SourceFact::BeginsLikeFormat, SourceTake::FontFile},
    {kPatch, SourceFact::ShortcutName, SourceTake::Shortcut},
    {kPatchRun, SourceFact::IsProgram, SourceTake::Program},
    {kAttach, SourceFact::HoldsRawFont, SourceTake::FirstBytes},
    {kPatchRun | kAttach, std::nullopt, SourceTake::NotEightByEight},
}};

constexpr bool EveryUseDecided() {
  unsigned decided = 0;
  for (const SourceRule& rule : kRules) {
    if (!rule.when)
      decided |= rule.uses;
  }
  return decided == kEveryUse;
}
// So that a decision is always reached.
static_assert(EveryUseDecided());

}  // namespace

SourceDecision ClassifySource(SourceUse use, const SourceFacts& facts) {
  const unsigned use_bit = 1u << static_cast<unsigned>(use);
  for (const SourceRule& rule : kRules) {
    if ((rule.uses & use_bit) == 0)
      continue;
    if (!rule.when)
      return {rule.take, SourceFact{}};
    switch (facts.Of(*rule.when)) {
      case Answer::Unknown:
        return {SourceTake::Ask, *rule.when};
      case Answer::Yes:
        return {rule.take, SourceFact{}};
      case Answer::No:
        break;
    }
  }
  return {SourceTake::NotEightByEight, SourceFact{}};
}

}  // namespace mdlReplace
