#include <gtest/gtest.h>

#include "fonts/source_rules.h"

namespace mdlReplace {
namespace {

constexpr Answer U = Answer::Unknown;
constexpr Answer N = Answer::No;
constexpr Answer Y = Answer::Yes;

struct RuleCase {
  const char* name;
  SourceUse use;
  // RawFontLength, GameFileName, EndsWithBlock, LongerThanAnyFont,
  // BeginsLikeFormat, HoldsRawFont, ShortcutName, IsProgram
  std::array<Answer, kSourceFacts> facts;
  SourceTake take;
  SourceFact ask = SourceFact::RawFontLength;  // when take is Ask
};

// What each use takes of a file, and what it looks at first: a fact that
// costs a read (the last block, the whole file) is asked for only when no
// fact before it decides.
TEST(SourceRules, Table) {
  const RuleCase cases[] = {
      {"a patch run asks the length first",
       SourceUse::Patch,
       {U, U, U, U, U, U},
       SourceTake::Ask,
       SourceFact::RawFontLength},
      {"a patch run takes 2048 bytes as they are",
       SourceUse::Patch,
       {Y, U, U, U, U, U},
       SourceTake::WholeFile},
      {"a patch run's game file, by its name",
       SourceUse::Patch,
       {N, Y, U, U, U, U},
       SourceTake::GameFont},
      {"a patch run then asks for the last block",
       SourceUse::Patch,
       {N, N, U, U, U, U},
       SourceTake::Ask,
       SourceFact::EndsWithBlock},
      {"a patch run's program that carries a font",
       SourceUse::Patch,
       {N, N, Y, U, U, U},
       SourceTake::CarriedFont},
      {"a patch run's file too long, refused unread",
       SourceUse::Patch,
       {N, N, N, Y, U, U},
       SourceTake::NotEightByEight},
      {"a patch run asks for the content last",
       SourceUse::Patch,
       {N, N, N, N, U, U},
       SourceTake::Ask,
       SourceFact::BeginsLikeFormat},
      {"a patch run's font file of a format",
       SourceUse::Patch,
       {N, N, N, N, Y, U},
       SourceTake::FontFile},
      {"a patch run's file of no format, no shortcut nor program",
       SourceUse::Patch,
       {N, N, N, N, N, Y, N, N},
       SourceTake::NotEightByEight},
      {"a patch run then asks whether it is a shortcut, by its name",
       SourceUse::Patch,
       {N, N, N, N, N, Y, U, U},
       SourceTake::Ask,
       SourceFact::ShortcutName},
      {"a typed shortcut is named for what it is",
       SourceUse::Patch,
       {N, N, N, N, N, U, Y, U},
       SourceTake::Shortcut},
      {"a typed shortcut of 2048 bytes is a raw font, as it always was",
       SourceUse::Patch,
       {Y, U, U, U, U, U, Y, U},
       SourceTake::WholeFile},
      {"a typed program that carries no font is named for what it is",
       SourceUse::Patch,
       {N, N, N, N, N, U, N, Y},
       SourceTake::Program},
      {"a typed program that carries a font gives it",
       SourceUse::Patch,
       {N, N, Y, U, U, U, U, Y},
       SourceTake::CarriedFont},
      {"a typed FON program is read as a font file",
       SourceUse::Patch,
       {N, N, N, N, Y, U, U, Y},
       SourceTake::FontFile},
      {"a drop asks first whether it is a shortcut",
       SourceUse::Drop,
       {U, U, U, U, U, U, U, U},
       SourceTake::Ask,
       SourceFact::ShortcutName},
      {"a drop's shortcut, even of 2048 bytes",
       SourceUse::Drop,
       {Y, U, U, U, U, U, Y, U},
       SourceTake::Shortcut},
      {"a drop reads 2048 bytes as the tools do, a sheet as a sheet",
       SourceUse::Drop,
       {Y, U, U, U, U, U, N, U},
       SourceTake::FontFile},
      {"a drop's file named as a game file gives no game font",
       SourceUse::Drop,
       {N, Y, U, U, U, U, N, U},
       SourceTake::Ask,
       SourceFact::EndsWithBlock},
      {"a drop's program that carries a font",
       SourceUse::Drop,
       {N, U, Y, U, U, U, N, U},
       SourceTake::CarriedFont},
      {"a drop's font file of a format, a FON program too",
       SourceUse::Drop,
       {N, U, N, N, Y, U, N, U},
       SourceTake::FontFile},
      {"a drop then asks whether it is a program",
       SourceUse::Drop,
       {N, U, N, N, N, U, N, U},
       SourceTake::Ask,
       SourceFact::IsProgram},
      {"a drop's program",
       SourceUse::Drop,
       {N, U, N, N, N, U, N, Y},
       SourceTake::Program},
      {"a drop's file of no format",
       SourceUse::Drop,
       {N, U, N, N, N, U, N, N},
       SourceTake::NotEightByEight},
      {"a typed font is asked whether it is a shortcut only when in no "
       "format",
       SourceUse::Patch,
       {N, N, N, N, Y, Y, U, U},
       SourceTake::FontFile},
      {"an attach does not ask the length first",
       SourceUse::Attach,
       {U, U, U, U, U, U},
       SourceTake::Ask,
       SourceFact::GameFileName},
      {"an attach reads 2048 bytes of a format as that format",
       SourceUse::Attach,
       {Y, N, N, N, Y, Y},
       SourceTake::FontFile},
      {"an attach's game file",
       SourceUse::Attach,
       {U, Y, U, U, U, U},
       SourceTake::GameFont},
      {"an attach's program that carries a font",
       SourceUse::Attach,
       {U, N, Y, U, U, U},
       SourceTake::CarriedFont},
      {"an attach takes the first bytes of a file too long, unread whole",
       SourceUse::Attach,
       {U, N, N, Y, U, U},
       SourceTake::FirstBytes},
      {"an attach's font file of a format",
       SourceUse::Attach,
       {U, N, N, N, Y, U},
       SourceTake::FontFile},
      {"an attach takes the first bytes of a file of no format",
       SourceUse::Attach,
       {U, N, N, N, N, Y},
       SourceTake::FirstBytes},
      {"an attach's short file of no format",
       SourceUse::Attach,
       {U, N, N, N, N, N},
       SourceTake::NotEightByEight},
      {"a tool reads 2048 bytes as a font file",
       SourceUse::Tool,
       {Y, N, N, N, U, U},
       SourceTake::FontFile},
      {"a tool's game file",
       SourceUse::Tool,
       {U, Y, U, U, U, U},
       SourceTake::GameFont},
      {"a tool asks for the last block",
       SourceUse::Tool,
       {U, N, U, U, U, U},
       SourceTake::Ask,
       SourceFact::EndsWithBlock},
      {"a tool's program that carries a font",
       SourceUse::Tool,
       {U, N, Y, U, U, U},
       SourceTake::CarriedFont},
      {"a tool refuses a file too long",
       SourceUse::Tool,
       {U, N, N, Y, U, U},
       SourceTake::TooLong},
      {"a tool reads any other file as a font file, which says what is "
       "wrong",
       SourceUse::Tool,
       {U, N, N, N, U, U},
       SourceTake::FontFile},
  };
  for (const RuleCase& row : cases) {
    SCOPED_TRACE(row.name);
    SourceFacts facts;
    facts.answers = row.facts;
    const SourceDecision decision = ClassifySource(row.use, facts);
    EXPECT_EQ(decision.take, row.take);
    if (row.take == SourceTake::Ask) {
      EXPECT_EQ(decision.ask, row.ask);
    }
  }
}

}  // namespace
}  // namespace mdlReplace
