// Fuzzes the argument parser and both ways of obtaining its text, and checks
// what each answer says, not only that there is one. Any input is taken
// three ways: as the command-line text itself, as Linux arguments (split at
// NUL bytes) rebuilt into a text, and as a whole Windows command line whose
// program name is skipped.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "front/parser.h"
#include "platform/argument_text.h"

namespace {

using mdlReplace::ParseResult;
using mdlReplace::RunKind;

void Require(bool condition, const char* what, std::string_view text) {
  if (condition)
    return;
  std::fprintf(stderr, "property broken: %s, text [%.*s]\n", what,
               static_cast<int>(text.size()), text.data());
  std::abort();
}

bool IsPiece(std::string_view text, std::string_view piece) {
  return text.find(piece) != std::string_view::npos;
}

// What any answer of the parser must satisfy.
void CheckAnswer(std::string_view text, const ParseResult& result) {
  if (!result.rejection.empty()) {
    Require(result.rejection == mdlReplace::kTooManyParameters ||
                result.rejection == mdlReplace::kIncorrectParameterFormat,
            "rejected with a message of its own", text);
    return;
  }
  const mdlReplace::RunRequest& request = result.request;
  switch (request.kind) {
    case RunKind::Default:
      Require(text.empty(), "only the empty text is the default run", text);
      Require(request.font_path == mdlReplace::kDefaultFontPath &&
                  request.game_folder == mdlReplace::kDefaultGameFolder,
              "default paths", text);
      break;
    case RunKind::Attach:
      Require(text.substr(0, 4) == "/A:\"", "attach text starts /A:\"", text);
      Require(IsPiece(text.substr(4), request.font_path),
              "attached font path is a piece of the text", text);
      break;
    case RunKind::GameFolder: {
      const std::string& folder = request.game_folder;
      Require(!folder.empty() && folder.back() == '\\',
              "folder ends with a backslash", text);
      Require(IsPiece(text, folder) ||
                  IsPiece(text, std::string_view(folder).substr(
                                    0, folder.size() - 1)),
              "folder is a piece of the text", text);
      Require(request.font_path == folder + "ZYR2.FNT",
              "font path is the folder and ZYR2.FNT", text);
      break;
    }
    case RunKind::FontAndGameFolder:
      Require(IsPiece(text, request.font_path) &&
                  IsPiece(text, request.game_folder),
              "font path and folder are pieces of the text", text);
      break;
  }
}

std::vector<std::string> SplitAtNul(std::string_view bytes) {
  std::vector<std::string> arguments;
  if (bytes.empty())
    return arguments;
  std::size_t start = 0;
  for (;;) {
    const std::size_t nul = bytes.find('\0', start);
    arguments.emplace_back(bytes.substr(start, nul - start));
    if (nul == std::string_view::npos)
      return arguments;
    start = nul + 1;
  }
}

bool IsPlain(const std::string& argument) {
  const bool attach_prefix = argument.size() >= 3 && argument[0] == '/' &&
                             (argument[1] == 'A' || argument[1] == 'a') &&
                             argument[2] == ':';
  return !attach_prefix && argument.find('"') == std::string::npos;
}

// Arguments without double quotes of their own reach the parser as the forms
// a user means by them.
void CheckRebuilt(const std::vector<std::string>& arguments) {
  const std::string text = mdlReplace::RebuildArgumentText(arguments);
  const ParseResult result = mdlReplace::ParseArgumentText(text);
  CheckAnswer(text, result);
  // A first argument of "--" names a command, which no parser reads.
  if (!arguments.empty() && arguments[0].starts_with("--"))
    return;
  for (const std::string& argument : arguments) {
    if (!IsPlain(argument))
      return;
  }
  // A lone blank first makes the text begin with the separator, which the
  // parser refuses, as it refuses the same text typed on Windows.
  if (arguments.size() <= 2 && !arguments.empty() && arguments[0] == " ")
    return;
  if (arguments.size() == 1) {
    std::string folder = arguments[0];
    if (folder.empty() || folder.back() != '\\')
      folder += '\\';
    Require(result.rejection.empty() &&
                result.request.kind == RunKind::GameFolder &&
                result.request.game_folder == folder,
            "one argument is the game folder", text);
  } else if (arguments.size() == 2) {
    Require(result.rejection.empty() &&
                result.request.kind == RunKind::FontAndGameFolder &&
                result.request.font_path == arguments[0] &&
                result.request.game_folder == arguments[1],
            "two arguments are the font and the folder", text);
  } else if (arguments.size() > 2) {
    Require(result.rejection == mdlReplace::kTooManyParameters,
            "three or more arguments are too many", text);
  }
}

void CheckCommandLine(std::string_view bytes) {
  std::wstring line;
  for (char c : bytes)
    line += static_cast<wchar_t>(static_cast<unsigned char>(c));
  const std::wstring rest = mdlReplace::SkipProgramName(line);
  Require(rest.size() <= line.size() &&
              line.compare(line.size() - rest.size(), rest.size(), rest) == 0,
          "the argument text is the end of the command line", bytes);
  Require(rest.empty() || (rest[0] != L' ' && rest[0] != L'\t'),
          "the argument text does not start with a blank", bytes);
  const std::string text(bytes.substr(bytes.size() - rest.size()));
  CheckAnswer(text, mdlReplace::ParseArgumentText(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckAnswer(bytes, mdlReplace::ParseArgumentText(bytes));
  CheckRebuilt(SplitAtNul(bytes));
  CheckCommandLine(bytes);
  return 0;
}
