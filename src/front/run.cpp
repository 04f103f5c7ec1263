#include "front/run.h"

#include <exception>
#include <string>
#include <vector>

#include "attached/attached_font.h"
#include "base/command_words.h"
#include "base/names.h"
#include "front/administrator.h"
#include "front/commands.h"
#include "front/drop.h"
#include "front/font_advice.h"
#include "front/parser.h"
#include "front/run_steps.h"

namespace mdlReplace {

namespace {

// The request's paths as the run takes them: the game folder ends with the
// platform's separator, and a form whose font is the folder's ZYR2.FNT
// finds it there by the same join as the game's files.
RunRequest Settled(RunRequest request, char separator) {
  if (request.kind == RunKind::Attach)
    return request;
  request.game_folder = GivenFolder(request.game_folder, separator);
  if (request.kind != RunKind::FontAndGameFolder)
    request.font_path =
        PathInFolder(request.game_folder, kFontFileName, separator);
  return request;
}

int RunRequested(Platform& platform) {
  // A text that begins with "--" names one of the program's own commands,
  // on every platform; any other is a patch run's, as the parser reads it.
  const std::string text = platform.ArgumentText();
  if (text.starts_with(kCommandPrefix)) {
    const std::vector<std::string> command = platform.SplitArguments();
    return command.empty() ? EndWithError(platform, kNotEnoughMemory)
                           : RunCommand(platform, command);
  }

  // A drop is a run of its own; the forms of the command line that the
  // game's players always typed are the parser's.
  const Drop drop = ReadDrop(platform, text);
  if (drop.kind != DropKind::None)
    return RunDrop(platform, drop);

  const ParseResult parsed = ParseArgumentText(text);
  if (!parsed.rejection.empty())
    return EndWithError(platform, parsed.rejection);
  const RunRequest request = Settled(parsed.request, platform.Separator());

  // Paths go to the platform as the user typed them: where names have case,
  // a name as typed wins over the same name in upper case.
  RunFont font;
  if (request.kind == RunKind::Attach) {
    // Whatever font the file holds, in any format the font tools read.
    if (!ReadNamedFont(platform, request.font_path, SourceUse::Attach, &font))
      return kExitFailure;
    const std::string program = platform.ProgramExecutablePath();
    if (!AttachFont(platform, platform, program, font.glyphs,
                    AttachAsAdministrator(platform, request.font_path)))
      return kExitFailure;
    TellReading(platform, font.notice);
    return kExitSuccess;
  }

  std::string refusal;
  switch (LoadRunFont(platform, request.font_path, SourceUse::Patch, &font,
                      &refusal)) {
    case FontLoad::Failed:
      // A player who double-clicked the program named no font: the one
      // taken is named.
      return EndWithError(
          platform,
          request.kind == RunKind::Default
              ? DefaultRunFontRefused(platform, refusal, request.font_path)
              : refusal);
    case FontLoad::Absent:
      // Without arguments and without a font file in the current folder,
      // the font is the one carried by the program itself.
      if (request.kind != RunKind::Default)
        return EndWithError(platform, kFontFileNotFound);
      if (!FindAttachedFont(platform, platform, &font.glyphs))
        return EndWithError(platform,
                            NoFontForDefaultRun(platform, request.font_path));
      font.path.clear();
      break;
    case FontLoad::Loaded:
      break;
  }
  return PatchGame(platform, request.game_folder, font);
}

}  // namespace

int RunProgram(Platform& platform) {
  // Nothing the program holds grows with the user's files, but should
  // memory run out all the same, the run ends with a message, not an abort.
  try {
    return RunRequested(platform);
  } catch (const std::exception&) {
    return EndWithError(platform, kNotEnoughMemory);
  }
}

}  // namespace mdlReplace
