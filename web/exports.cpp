// The page's way into the program's core: functions that the WebAssembly
// module exports. Each call takes what it needs (a font's bytes, the files
// the page hands in) and gives back an answer: whether it did what was
// asked, what it said and the bytes it made. The core keeps nothing
// between calls: the page holds the work, reads each answer and frees it
// (answer.cpp).
#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "answer.h"
#include "attached/attached_font.h"
#include "attached/program_file.h"
#include "base/names.h"
#include "check/check_report.h"
#include "fonts/code_pages.h"
#include "fonts/formats.h"
#include "fonts/glyph_edits.h"
#include "game/game_files.h"
#include "memory_platform.h"
#include "messages/show_error.h"
#include "patcher/patcher.h"
#include "source/font_source.h"
#include "source/reading_notice.h"

namespace {

using mdlReplace::FontImage;
using mdlReplace::MemoryPlatform;
using mdlReplace::web::Answer;
using mdlReplace::web::FileAnswer;
using mdlReplace::web::Input;
using mdlReplace::web::kHeldTheFont;
using mdlReplace::web::kPatched;
using mdlReplace::web::Text;

// The game's files are put in a folder of this name.
constexpr std::string_view kGameFolder = "game";
constexpr std::string_view kTooLongToAttach =
    " is longer than the 16 MiB the page takes: no font was attached to it.";
// A fresh page's font is blank, and so is one cleared: the program refuses
// a font file that gives one, and the page puts none into a game file.
constexpr std::string_view kBlankFont =
    "The font is blank: none of its 256 glyphs has a pixel of ink, and the "
    "game would show no text with it. Open a font (part 1) or draw one "
    "first.";

FontImage FontAt(const std::uint8_t* bytes) {
  FontImage font{};
  std::copy_n(bytes, font.size(), font.begin());
  return font;
}

bool IsBlank(const FontImage& font) {
  return std::all_of(font.begin(), font.end(),
                     [](std::uint8_t row) { return row == 0; });
}

// What the platform's run said, a message a line.
std::string Said(const MemoryPlatform& platform) {
  std::string said;
  for (const std::string& message : platform.messages)
    said += message + "\n";
  return said;
}

// The codes from first to last.
mdlReplace::CodeSet CodeRange(int first, int last) {
  mdlReplace::CodeSet codes;
  for (int code = std::max(first, 0);
       code <= last && code < static_cast<int>(mdlReplace::kGlyphCount); ++code)
    codes.set(static_cast<std::size_t>(code));
  return codes;
}

// How a game file handed in came out of a patch run, as the patch's report
// tells of the game file of its name: patched (with the file as patched),
// patched with the font it held already, or not patched.
FileAnswer PatchedFile(const mdlReplace::PatchReport& report,
                       const std::string& name,
                       const MemoryPlatform::File& file) {
  FileAnswer answer;
  const mdlReplace::TargetFile* target = mdlReplace::FindTargetFile(name);
  for (const mdlReplace::TargetReport& each : report.targets) {
    if (target == nullptr || each.name != target->name ||
        each.outcome != mdlReplace::TargetOutcome::Patched)
      continue;
    answer.offset = static_cast<double>(each.offset);
    answer.outcome = each.held_font ? kHeldTheFont : kPatched;
    if (answer.outcome == kPatched)
      answer.bytes = file.bytes;
  }
  return answer;
}

// A blank font is refused before any file is looked at: on a fresh page
// the work's font is blank, and a game patched with it shows no text.
Answer* RefusedAsBlank(Input* input) {
  delete input;
  Answer* answer = new Answer;
  answer->text = kBlankFont;
  return answer;
}

}  // namespace

// --- The calls --------------------------------------------------------------

// Reads the font of the input's one file as --convert does, by the code
// page numbered (0: none named), or, with by_own and none named, as --check
// does: a font that tells its own code page is placed by it, and the answer
// gives that code page and the sentence of the one its texts are checked in
// and why. Done when a font was
// read: the bytes are the font, the figure the code page that placed its
// glyphs (0: none); the text says why not, or how many codes got a glyph.
extern "C" __attribute__((export_name("zyr2_open"))) Answer* Open(Input* input,
                                                                  int code_page,
                                                                  int by_own) {
  Answer* answer = new Answer;
  MemoryPlatform platform;
  const std::string path = input->files.at(0).first;
  platform.files[path] = std::move(input->files.at(0).second);
  delete input;
  mdlReplace::CodePageUse code_pages;
  if (code_page != 0)
    code_pages.named = mdlReplace::FindCodePage(code_page);
  code_pages.by_own = code_page == 0 && by_own != 0;
  FontImage font{};
  std::string refusal;
  const mdlReplace::FontLoad load =
      mdlReplace::LoadFontSource(platform, path, mdlReplace::SourceUse::Tool,
                                 &font, &code_pages, &refusal);
  if (load == mdlReplace::FontLoad::Failed)
    mdlReplace::ShowError(platform, refusal);
  if (load == mdlReplace::FontLoad::Loaded &&
      !mdlReplace::PlacedInCells(path, code_pages).empty())
    platform.messages.push_back(mdlReplace::PlacedInCells(path, code_pages));
  if (load == mdlReplace::FontLoad::Loaded &&
      mdlReplace::LeftCodesBlank(code_pages))
    platform.messages.push_back(mdlReplace::CodesWithGlyph(path, code_pages));
  answer->text = Said(platform);
  if (load != mdlReplace::FontLoad::Loaded)
    return answer;
  answer->done = 1;
  answer->figure = code_pages.used != nullptr ? code_pages.used->number : 0;
  answer->bytes.assign(font.begin(), font.end());
  if (code_pages.by_own) {
    answer->own_code_page =
        code_pages.own != nullptr ? code_pages.own->number : 0;
    answer->checked_in = mdlReplace::CheckedInCodePage(
        mdlReplace::CodePageToGoBy(code_pages), code_pages);
  }
  return answer;
}

// The font in the format the file name's extension names; a BDF keyed by
// the characters of the code page (0: 437).
extern "C" __attribute__((export_name("zyr2_save"))) Answer* Save(
    const std::uint8_t* font, const char* name, std::size_t name_length,
    int code_page) {
  Answer* answer = new Answer;
  mdlReplace::FontFormat format = mdlReplace::FontFormat::Raw;
  if (!mdlReplace::FormatOfExtension(Text(name, name_length), &format))
    return answer;
  answer->done = 1;
  answer->bytes = mdlReplace::WriteFont(
      FontAt(font), format,
      code_page == 0 ? nullptr : mdlReplace::FindCodePage(code_page),
      Text(name, name_length));
  return answer;
}

// The font with the glyphs of the codes from first to last transformed,
// by the number kGlyphTransformNames gives the transform; not done for a
// number it does not give.
extern "C" __attribute__((export_name("zyr2_transform"))) Answer* Transform(
    const std::uint8_t* font, int first, int last, int transform) {
  Answer* answer = new Answer;
  if (transform < 0 || transform >= mdlReplace::kGlyphTransforms)
    return answer;
  const FontImage transformed = mdlReplace::TransformGlyphs(
      FontAt(font), CodeRange(first, last),
      static_cast<mdlReplace::GlyphTransform>(transform));
  answer->done = 1;
  answer->bytes.assign(transformed.begin(), transformed.end());
  return answer;
}

// The font with the other font's glyphs at the codes from first to last,
// or, with where_blank, wherever the font is blank and the other is not,
// as --merge does. The figure is how many codes were taken.
extern "C" __attribute__((export_name("zyr2_take"))) Answer* Take(
    const std::uint8_t* font, const std::uint8_t* other, int first, int last,
    int where_blank) {
  Answer* answer = new Answer;
  const FontImage base = FontAt(font);
  const FontImage giver = FontAt(other);
  const mdlReplace::CodeSet codes = where_blank != 0
                                        ? mdlReplace::BlankInBase(base, giver)
                                        : CodeRange(first, last);
  const FontImage taken = mdlReplace::TakeGlyphs(base, giver, codes);
  answer->done = 1;
  answer->figure = static_cast<int>(codes.count());
  answer->bytes.assign(taken.begin(), taken.end());
  return answer;
}

// Patches the game files of the input, in memory, by the program's own
// rules and with its messages. The figure is how many were patched; each
// file's answer tells what became of it and, when patched, its bytes. Not
// done with a blank font: no file is touched.
extern "C" __attribute__((export_name("zyr2_patch"))) Answer* Patch(
    Input* input, const std::uint8_t* font) {
  if (IsBlank(FontAt(font)))
    return RefusedAsBlank(input);
  Answer* answer = new Answer;
  MemoryPlatform platform;
  // Each file in the folder as the patch joins a game file to its folder.
  const auto in_folder = [&platform](std::string_view name) {
    return mdlReplace::PathInFolder(kGameFolder, name, platform.Separator());
  };
  for (auto& [name, file] : input->files)
    platform.files[in_folder(name)] = std::move(file);
  // The page writes no disk: nothing needs an administrator.
  const mdlReplace::PatchReport report = mdlReplace::PatchGameFolder(
      platform, platform,
      mdlReplace::FolderWithSeparator(std::string(kGameFolder),
                                      platform.Separator()),
      FontAt(font), mdlReplace::AsAdministrator{});
  answer->text = Said(platform);
  for (const auto& given : input->files) {
    answer->files.push_back(PatchedFile(
        report, given.first, platform.files[in_folder(given.first)]));
    answer->figure += answer->files.back().outcome == kPatched ? 1 : 0;
  }
  delete input;
  answer->done = 1;
  return answer;
}

// Attaches the font to the input's one file, a copy of the program, as /A:
// does to the program itself: the bytes are the copy, the marker, then
// the font. Any file that is not a build of this program is refused, and
// so is one too long to hand in whole, and a blank font.
extern "C" __attribute__((export_name("zyr2_attach"))) Answer* Attach(
    Input* input, const std::uint8_t* font) {
  if (IsBlank(FontAt(font)))
    return RefusedAsBlank(input);
  Answer* answer = new Answer;
  MemoryPlatform platform;
  const std::string program_path = input->files.at(0).first;
  platform.files[program_path] = std::move(input->files.at(0).second);
  delete input;
  const MemoryPlatform::File& program = platform.files[program_path];
  if (program.bytes_at != 0) {
    answer->text = program_path + std::string(kTooLongToAttach);
    return answer;
  }
  answer->text = mdlReplace::WhyNotThisProgram(program_path, program.bytes);
  if (!answer->text.empty())
    return answer;
  answer->done =
      mdlReplace::AttachFont(platform, platform, program_path, FontAt(font),
                             mdlReplace::AsAdministrator{})
          ? 1
          : 0;
  answer->text = Said(platform);
  if (answer->done == 1)
    answer->bytes = platform.files[program_path].bytes;
  return answer;
}

// --- Tables and questions ---------------------------------------------------

// The numbers of the code pages there are, as text: "437, 737, ... and
// 1258".
extern "C" __attribute__((export_name("zyr2_code_pages"))) Answer* CodePages() {
  Answer* answer = new Answer;
  answer->done = 1;
  answer->text = mdlReplace::CodePageNumbers();
  return answer;
}

// The glyph transforms, a line each: its number, its name, what it does
// and what the glyphs are once it is done, a tab between.
extern "C" __attribute__((export_name("zyr2_glyph_transforms"))) Answer*
GlyphTransforms() {
  Answer* answer = new Answer;
  answer->done = 1;
  for (const mdlReplace::GlyphTransformName& row :
       mdlReplace::kGlyphTransformNames) {
    answer->text += std::to_string(static_cast<int>(row.transform)) + "\t" +
                    std::string(row.name) + "\t" +
                    std::string(row.description) + "\t" +
                    std::string(row.done) + "\n";
  }
  return answer;
}

// Whether a file of this name is one of the game's files, in any case.
extern "C" __attribute__((export_name("zyr2_is_game_file"))) int IsGameFile(
    const char* name, std::size_t name_length) {
  return mdlReplace::FindTargetFile(Text(name, name_length)) != nullptr ? 1 : 0;
}

// The code of a Unicode character in a code page, or -1 where it has none.
extern "C" __attribute__((export_name("zyr2_code_of"))) int CodeOf(
    int code_page, int character) {
  const mdlReplace::CodePage* table = mdlReplace::FindCodePage(code_page);
  std::size_t code = 0;
  if (table == nullptr || character < 0 ||
      !mdlReplace::CodeOfCharacter(*table, static_cast<char32_t>(character),
                                   &code))
    return -1;
  return static_cast<int>(code);
}

// The Unicode character a code shows in a code page; 0 where it shows
// none, -1 for a code page there is none of.
extern "C" __attribute__((export_name("zyr2_character_of"))) int CharacterOf(
    int code_page, int code) {
  const mdlReplace::CodePage* table = mdlReplace::FindCodePage(code_page);
  if (table == nullptr || code < 0 ||
      code >= static_cast<int>(mdlReplace::kGlyphCount))
    return -1;
  return table->characters[static_cast<std::size_t>(code)];
}
