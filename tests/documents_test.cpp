// What a user reads of the formats: every extension in the table of
// formats is named by --help, README.TXT, the manual page and the page.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "base/names.h"
#include "fake_platform.h"
#include "fonts/registry.h"
#include "front/run.h"
#include "front/run_steps.h"

namespace mdlReplace {
namespace {

std::string SourceFile(const std::string& name) {
  std::ifstream file(std::string(ZYR2_SOURCE_DIR) + "/" + name);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

bool IsNameCharacter(char c) {
  return (c >= '0' && c <= '9') ||
         (AsciiUpper(c) >= 'A' && AsciiUpper(c) <= 'Z');
}

// Whether the text names the extension in any case, as itself and not as
// the start of a longer one (".cp" in ".cpi").
bool NamesExtension(const std::string& text, std::string_view extension) {
  const std::string upper = AsciiUpperCase(text);
  const std::string wanted = AsciiUpperCase(extension);
  for (std::size_t at = upper.find(wanted); at != std::string::npos;
       at = upper.find(wanted, at + 1)) {
    const std::size_t end = at + wanted.size();
    if (end == upper.size() || !IsNameCharacter(upper[end]))
      return true;
  }
  return false;
}

// A text the user reads, by the name the test gives it.
struct Document {
  const char* name;
  std::string text;
};

// What --help prints.
Document Help() {
  FakePlatform platform;
  platform.command_arguments = {"--help"};
  EXPECT_EQ(RunProgram(platform), kExitSuccess);
  return {"--help", platform.output};
}

TEST(Documents, NameEveryExtensionOfTheFormats) {
  const Document documents[] = {
      Help(),
      {"README.TXT", SourceFile("README.TXT")},
      {"zyr2font.1", SourceFile("zyr2font.1")},
      {"web/index.html", SourceFile("web/index.html")},
  };
  for (const auto& document : documents) {
    ASSERT_GT(document.text.size(), 1000u) << document.name;
    for (const FormatRow& row : FontFormats()) {
      for (std::string_view extension : row.extensions) {
        EXPECT_TRUE(extension.empty() ||
                    NamesExtension(document.text, extension))
            << document.name << " does not name " << extension << " ("
            << row.name << ")";
      }
    }
  }
}

// The text with every run of blanks and line ends one space, as a reader
// takes lines wrapped anywhere.
std::string Flowed(const std::string& text) {
  std::string flowed;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\n' || c == '\r';
    if (!blank)
      flowed += c;
    else if (!flowed.empty() && flowed.back() != ' ')
      flowed += ' ';
  }
  return flowed;
}

// What every document that tells it must tell alike.
TEST(Documents, TellTheSameRules) {
  const Document documents[] = {
      Help(),
      {"README.md", SourceFile("README.md")},
      {"docs/running.md", SourceFile("docs/running.md")},
      {"zyr2font.1", SourceFile("zyr2font.1")},
  };
  // Information ("has 5x7 glyphs") ends no run, and leaves the status 0.
  const std::string rules[] = {"1 after any message that ends the run"};
  for (const auto& document : documents) {
    for (const std::string& rule : rules) {
      EXPECT_NE(Flowed(document.text).find(rule), std::string::npos)
          << document.name << " does not say \"" << rule << "\"";
    }
  }
}

}  // namespace
}  // namespace mdlReplace
