// The page's way into the program's core: functions that the WebAssembly
// module exports, over buffers in its memory. The page hands in a file's
// name and bytes; the core reads, writes, patches and attaches exactly as
// the program does, over a platform whose files are those buffers, and
// the page reads back the bytes it made and the messages it said.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "attached/attached_font.h"
#include "base/names.h"
#include "fonts/code_pages.h"
#include "fonts/formats.h"
#include "fonts/glyph_edits.h"
#include "front/font_source.h"
#include "memory_platform.h"
#include "patcher/patcher.h"

namespace {

using mdlReplace::Bytes;
using mdlReplace::FontImage;
using mdlReplace::MemoryPlatform;

// The game's files are put in a folder of this name.
constexpr std::string_view kGameFolder = "game\\";
constexpr std::string_view kNotAProgram =
    " does not begin like a program (MZ or ELF): no font was attached to it.";
constexpr std::string_view kTooLongToAttach =
    " is longer than the 16 MiB the page takes: no font was attached to it.";

// What the page and the core share between calls.
struct Shared {
  FontImage font{};      // the font the page shows and edits
  FontImage other{};     // a second font, to take glyphs from
  std::string messages;  // what the last call said, a message a line
  Bytes output;          // the bytes the last call made
  Bytes source;          // the file the page hands in next
  int placed_by = 0;     // the code page the last font opened was placed by
  std::vector<std::string> game_names;
  std::vector<MemoryPlatform::File> game_files;
  std::vector<int> patched_at;  // a game file's font offset, or -1
};

Shared& State() {
  static Shared shared;
  return shared;
}

std::string Text(const char* text, std::size_t length) {
  return std::string(text, length);
}

// The file the page handed in through zyr2_source, taken from the core's
// keeping: of `length` bytes in all, of which the page gave the end.
MemoryPlatform::File HandedIn(double length) {
  MemoryPlatform::File file;
  file.bytes = std::move(State().source);
  State().source = Bytes();
  const double held = static_cast<double>(file.bytes.size());
  if (length > held)
    file.bytes_at = static_cast<std::uint64_t>(length - held);
  return file;
}

// Whether the bytes begin as a DOS or Windows program (MZ) or a Linux one
// (ELF) does: only a program is given a font to carry.
bool BeginsLikeProgram(const Bytes& bytes) {
  constexpr std::string_view kDos = "MZ";
  constexpr std::string_view kElf =
      "\x7F"
      "ELF";
  const std::string_view head(reinterpret_cast<const char*>(bytes.data()),
                              std::min<std::size_t>(bytes.size(), 4));
  return head.starts_with(kDos) || head.starts_with(kElf);
}

// Keeps what the platform's run said, for the page.
void KeepMessages(const MemoryPlatform& platform) {
  std::string& messages = State().messages;
  messages.clear();
  for (const std::string& message : platform.messages)
    messages += message + "\n";
}

}  // namespace

extern "C" __attribute__((export_name("zyr2_alloc"))) void* Alloc(
    std::size_t size) {
  return std::malloc(size == 0 ? 1 : size);
}

extern "C" __attribute__((export_name("zyr2_free"))) void Free(void* pointer) {
  std::free(pointer);
}

extern "C" __attribute__((export_name("zyr2_font"))) std::uint8_t* Font() {
  return State().font.data();
}

extern "C" __attribute__((export_name("zyr2_messages"))) const char*
Messages() {
  return State().messages.data();
}

extern "C" __attribute__((export_name("zyr2_messages_length"))) std::size_t
MessagesLength() {
  return State().messages.size();
}

extern "C" __attribute__((export_name("zyr2_output"))) const std::uint8_t*
Output() {
  return State().output.data();
}

extern "C" __attribute__((export_name("zyr2_output_length"))) std::size_t
OutputLength() {
  return State().output.size();
}

// Room for the next file the page hands in, which the page writes there:
// the whole file, or of one longer than any font file the core reads, its
// last kFontBlockSize bytes. Null for more than that.
extern "C" __attribute__((export_name("zyr2_source"))) std::uint8_t* Source(
    std::size_t length) {
  if (length > mdlReplace::kLargestFontFile)
    return nullptr;
  Bytes& source = State().source;
  source.reserve(1);
  source.resize(length);
  return source.data();
}

extern "C" __attribute__((export_name("zyr2_largest_source"))) std::size_t
LargestSource() {
  return mdlReplace::kLargestFontFile;
}

extern "C" __attribute__((export_name("zyr2_tail_length"))) std::size_t
TailLength() {
  return mdlReplace::kFontBlockSize;
}

// Where zyr2_open puts the font it reads.
enum Into { kIntoFont = 0, kIntoOutput = 1, kIntoOther = 2 };

// Reads the font of the file handed in, of `length` bytes, as --convert
// does: into the font the page edits, into the output alone (the game's own
// font, kept before a patch), or into the other font, to take glyphs from.
// A code page of 0 names none. Returns 1 when a font was read; the messages
// say why not, or how many codes got a glyph; zyr2_placed_by tells the code
// page that placed its glyphs.
extern "C" __attribute__((export_name("zyr2_open"))) int Open(
    const char* name, std::size_t name_length, double length, int code_page,
    int into) {
  MemoryPlatform platform;
  const std::string path = Text(name, name_length);
  platform.files[path] = HandedIn(length);
  mdlReplace::CodePageUse code_pages;
  if (code_page != 0)
    code_pages.named = mdlReplace::FindCodePage(code_page);
  FontImage font{};
  const mdlReplace::FontLoad load = mdlReplace::ReadFontSource(
      platform, path, mdlReplace::SourceUse::Tool, &font, &code_pages);
  if (load == mdlReplace::FontLoad::Loaded &&
      !mdlReplace::PlacedInCells(path, code_pages).empty())
    platform.messages.push_back(mdlReplace::PlacedInCells(path, code_pages));
  if (load == mdlReplace::FontLoad::Loaded &&
      mdlReplace::LeftCodesBlank(code_pages))
    platform.messages.push_back(mdlReplace::CodesWithGlyph(path, code_pages));
  KeepMessages(platform);
  if (load != mdlReplace::FontLoad::Loaded)
    return 0;
  State().placed_by = code_pages.used != nullptr ? code_pages.used->number : 0;
  if (into == kIntoOutput)
    State().output.assign(font.begin(), font.end());
  else if (into == kIntoOther)
    State().other = font;
  else
    State().font = font;
  return 1;
}

// Writes the font in the format the file name's extension names; a BDF
// keyed by the characters of the code page (0: 437).
extern "C" __attribute__((export_name("zyr2_save"))) int Save(
    const char* name, std::size_t name_length, int code_page) {
  mdlReplace::FontFormat format = mdlReplace::FontFormat::Raw;
  State().messages.clear();
  if (!mdlReplace::FormatOfExtension(Text(name, name_length), &format))
    return 0;
  State().output = mdlReplace::WriteFont(
      State().font, format,
      code_page == 0 ? nullptr : mdlReplace::FindCodePage(code_page));
  return 1;
}

// The codes from first to last.
mdlReplace::CodeSet CodeRange(int first, int last) {
  mdlReplace::CodeSet codes;
  for (int code = std::max(first, 0);
       code <= last && code < static_cast<int>(mdlReplace::kGlyphCount); ++code)
    codes.set(static_cast<std::size_t>(code));
  return codes;
}

// Transforms the glyphs of the codes from first to last, as
// GlyphTransform numbers them; 0 for a transform there is none of.
extern "C" __attribute__((export_name("zyr2_transform"))) int Transform(
    int first, int last, int transform) {
  if (transform < 0 || transform >= mdlReplace::kGlyphTransforms)
    return 0;
  State().font = mdlReplace::TransformGlyphs(
      State().font, CodeRange(first, last),
      static_cast<mdlReplace::GlyphTransform>(transform));
  return 1;
}

// Takes the other font's glyphs at the codes from first to last, or, with
// where_blank, wherever the font is blank and the other is not, as
// --merge does. Returns how many codes were taken.
extern "C" __attribute__((export_name("zyr2_take"))) int Take(int first,
                                                              int last,
                                                              int where_blank) {
  Shared& state = State();
  const mdlReplace::CodeSet codes =
      where_blank != 0 ? mdlReplace::BlankInBase(state.font, state.other)
                       : CodeRange(first, last);
  state.font = mdlReplace::TakeGlyphs(state.font, state.other, codes);
  return static_cast<int>(codes.count());
}

// Whether a file of this name is one of the game's files, in any case.
extern "C" __attribute__((export_name("zyr2_is_game_file"))) int IsGameFile(
    const char* name, std::size_t name_length) {
  return mdlReplace::FindTargetFile(Text(name, name_length)) != nullptr ? 1 : 0;
}

extern "C" __attribute__((export_name("zyr2_clear_game"))) void ClearGame() {
  State().game_names.clear();
  State().game_files.clear();
  State().patched_at.clear();
}

extern "C" __attribute__((export_name("zyr2_placed_by"))) int PlacedBy() {
  return State().placed_by;
}

// Adds the file handed in, of `length` bytes, as a game file.
extern "C" __attribute__((export_name("zyr2_add_game_file"))) void AddGameFile(
    const char* name, std::size_t name_length, double length) {
  State().game_names.push_back(Text(name, name_length));
  State().game_files.push_back(HandedIn(length));
}

// Patches the game files added, in memory, by the program's own rules and
// with its messages. Returns how many were patched; each one's offset, or
// -1, is told by zyr2_patched_offset, and its bytes are its own, changed
// only there.
extern "C" __attribute__((export_name("zyr2_patch"))) int Patch() {
  Shared& state = State();
  MemoryPlatform platform;
  for (std::size_t i = 0; i < state.game_names.size(); ++i)
    platform.files[std::string(kGameFolder) + state.game_names[i]] =
        std::move(state.game_files[i]);
  state.game_files.clear();
  mdlReplace::PatchGameFolder(platform, std::string(kGameFolder), state.font);
  KeepMessages(platform);
  int patched = 0;
  state.patched_at.clear();
  for (const std::string& name : state.game_names) {
    const MemoryPlatform::File& file =
        platform.files[std::string(kGameFolder) + name];
    // One write, of the whole font: a second would have put the old bytes
    // back.
    const bool whole = file.written.size() == 1 &&
                       file.written[0].length == mdlReplace::kFontSize;
    state.patched_at.push_back(whole ? static_cast<int>(file.written[0].offset)
                                     : -1);
    patched += whole ? 1 : 0;
  }
  return patched;
}

extern "C" __attribute__((export_name("zyr2_patched_offset"))) int
PatchedOffset(int index) {
  const std::vector<int>& patched_at = State().patched_at;
  return index >= 0 && static_cast<std::size_t>(index) < patched_at.size()
             ? patched_at[static_cast<std::size_t>(index)]
             : -1;
}

// Attaches the font to a copy of the program handed in, of `length` bytes,
// as /A: does to the program itself: the copy, the marker, then the font,
// in the output. A file that is not a program, or is too long to hand in
// whole, is refused.
extern "C" __attribute__((export_name("zyr2_attach"))) int Attach(
    const char* name, std::size_t name_length, double length) {
  MemoryPlatform platform;
  platform.program_path = Text(name, name_length);
  MemoryPlatform::File& program = platform.files[platform.program_path];
  program = HandedIn(length);
  if (program.bytes_at != 0 || !BeginsLikeProgram(program.bytes)) {
    State().messages =
        platform.program_path +
        std::string(program.bytes_at != 0 ? kTooLongToAttach : kNotAProgram) +
        "\n";
    return 0;
  }
  const bool attached = mdlReplace::AttachFont(platform, State().font);
  KeepMessages(platform);
  if (!attached)
    return 0;
  State().output = platform.files[platform.program_path].bytes;
  return 1;
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

// The numbers of the code pages there are, as text: "437, 737, ... and
// 1258".
extern "C" __attribute__((export_name("zyr2_code_pages"))) const char*
CodePages() {
  static const std::string numbers = mdlReplace::CodePageNumbers();
  return numbers.data();
}

extern "C" __attribute__((export_name("zyr2_code_pages_length"))) std::size_t
CodePagesLength() {
  return std::string_view(CodePages()).size();
}
