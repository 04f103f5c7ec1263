#include "fonts/code_pages.h"

namespace mdlReplace {

namespace {

constexpr std::size_t kCodes = 256;

constexpr CodePage kCodePages[] = {
#include "fonts/code_page_tables.inc"
};

}  // namespace

std::span<const CodePage> KnownCodePages() {
  return kCodePages;
}

const CodePage* FindCodePage(int number) {
  for (const CodePage& code_page : kCodePages) {
    if (code_page.number == number)
      return &code_page;
  }
  return nullptr;
}

std::string CodePageNumbers() {
  std::string numbers;
  const std::size_t count = std::size(kCodePages);
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0)
      numbers += i + 1 == count ? " and " : ", ";
    numbers += std::to_string(kCodePages[i].number);
  }
  return numbers;
}

bool CodeOfCharacter(const CodePage& code_page, char32_t character,
                     std::size_t* code) {
  if (character == 0)
    return false;
  for (std::size_t at = 0; at < code_page.characters.size(); ++at) {
    if (code_page.characters[at] == character) {
      *code = at;
      return true;
    }
  }
  return false;
}

bool DirectCode(char32_t character, std::size_t* code) {
  if (character < kDirectCharacters || character >= kDirectCharacters + kCodes)
    return false;
  *code = character - kDirectCharacters;
  return true;
}

char32_t CharacterOfCode(const CodePage& code_page, std::size_t code) {
  std::size_t first = 0;
  const char32_t character = code_page.characters[code];
  if (!CodeOfCharacter(code_page, character, &first) || first != code)
    return kDirectCharacters + static_cast<char32_t>(code);
  return character;
}

}  // namespace mdlReplace
