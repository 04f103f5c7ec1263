#include "front/run.h"

#include <exception>
#include <string>
#include <vector>

#include "attached/attached_font.h"
#include "front/commands.h"
#include "front/font_source.h"
#include "front/parser.h"
#include "patcher/patcher.h"
#include "platform/show_error.h"

namespace mdlReplace {

namespace {

constexpr std::string_view kCommandPrefix = "--";

int RunRequested(Platform& platform) {
  // A text that begins with "--" names one of the program's own commands,
  // on every platform; any other is a patch run's, as the parser reads it.
  const std::string text = platform.ArgumentText();
  if (text.starts_with(kCommandPrefix)) {
    const std::vector<std::string> command = platform.SplitArguments();
    return command.empty() ? EndWithError(platform, kNotEnoughMemory)
                           : RunCommand(platform, command);
  }

  const ParseResult parsed = ParseArgumentText(text);
  if (!parsed.rejection.empty())
    return EndWithError(platform, parsed.rejection);
  const RunRequest& request = parsed.request;

  // Paths go to the platform as the user typed them: where names have case,
  // a name as typed wins over the same name in upper case.
  FontImage font{};
  if (request.kind == RunKind::Attach) {
    // Whatever font the file holds, in any format the font tools read.
    switch (
        ReadFontSource(platform, request.font_path, SourceUse::Attach, &font)) {
      case FontLoad::Absent:
        return EndWithError(platform, kFontFileNotFound);
      case FontLoad::Failed:
        return kExitFailure;
      case FontLoad::Loaded:
        break;
    }
    return AttachFont(platform, font) ? kExitSuccess : kExitFailure;
  }

  switch (
      ReadFontSource(platform, request.font_path, SourceUse::Patch, &font)) {
    case FontLoad::Failed:
      return kExitFailure;
    case FontLoad::Absent:
      // Without arguments and without a font file in the current folder,
      // the font is the one carried by the program itself.
      if (request.kind != RunKind::Default)
        return EndWithError(platform, kFontFileNotFound);
      if (!ReadAttachedFont(platform, &font))
        return kExitFailure;
      break;
    case FontLoad::Loaded:
      break;
  }

  const std::string game_folder = WithTrailingBackslash(request.game_folder);
  if (!PatchGameFolder(platform, game_folder, font))
    return kExitFailure;
  return kExitSuccess;
}

}  // namespace

int EndWithError(Platform& platform, std::string_view message) {
  ShowError(platform, message);
  return kExitFailure;
}

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
