// An in-memory platform for the tests: files in a map, every operation
// written to a log, any one operation made to fail on request.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/spelled_names.h"
#include "platform/platform.h"

namespace mdlReplace {

// What the fake shows before each message: the caption and ": ".
inline const std::string kShown = "ZYR 2 Font Replacer: ";

// Bytes that differ from their neighbours, different for each seed.
std::vector<std::uint8_t> Pattern(std::size_t length, std::uint8_t seed);

// A font whose 256 glyphs all differ and, as in real fonts, have less ink
// than background.
std::vector<std::uint8_t> FontPattern(std::uint8_t seed);

class FakePlatform : public Platform, private Folders {
 public:
  enum class Kind { Ordinary, Folder, Pipe };
  struct File {
    std::vector<std::uint8_t> bytes;
    // Refuses to be written (a folder: to take a new file), for the
    // reason.
    bool read_only = false;
    bool sparse = false;
    Kind kind = Kind::Ordinary;
    Refusal refusal = Refusal::ReadOnlyFile;
    bool operator==(const File&) const = default;
  };

  FakePlatform() = default;
  // Made in one file, as the real platform's is (see platform_win32.h).
  ~FakePlatform() override;

  // Files by their path as the program spells it, backslashes and all. A
  // spelled path finds its file as written, in upper case, or else in any
  // case, as on a file system that tells case apart.
  std::map<std::string, File> files;
  std::string argument_text;
  std::vector<std::string> command_arguments;
  std::string program_path = R"(C:\TOOLS\ZYR2FONT.EXE)";
  // What a relative path is made full against.
  std::string current_folder = R"(C:\PLAY\)";
  bool programs_lie_apart = false;
  Administrator administrator = Administrator::Offered;
  Drawing drawing = Drawing::Ascii;

  // Each operation as "name path", in order, e.g. "write GAME\ZYR2.EXE".
  std::vector<std::string> log;
  // Each message shown, caption and text joined by ": ".
  std::vector<std::string> messages;
  std::string output;
  // The title of each picture shown, and the last picture.
  std::vector<std::string> picture_titles;
  Picture picture;
  std::size_t most_open_at_once = 0;

  // The operation with this number (counting from 1, as in the log) fails,
  // whatever it is; with fail_onward, so does every one after it, as on a
  // disk that went away. A failing write writes half its bytes.
  std::size_t fail_on_call = 0;
  bool fail_onward = false;
  // The failing operation finds no memory instead.
  bool fail_without_memory = false;
  // Why a failing reserve, write, copy or flush failed: a full disk, say.
  Refusal fault_refusal = Refusal::Unknown;

  void AddFile(const std::string& path, std::uint64_t length,
               std::uint8_t fill = 0);
  // The log lines of one operation.
  std::vector<std::string> Logged(const std::string& operation) const;
  std::size_t OpenCount() const { return open_.size(); }

  std::string ArgumentText() override;
  std::vector<std::string> SplitArguments() override;
  OpenedFile Open(const std::string& path, Naming naming,
                  OpenMode mode) override;
  char Separator() override { return '\\'; }
  Found Look(const std::string& path) override;
  OpenedFile OpenRunningProgram() override;
  OpenedFile OpenLocked(const std::string& path) override;
  bool Reserve(FileId file, std::uint64_t offset,
               std::uint64_t length) override;
  bool ReadAt(FileId file, std::uint64_t offset,
              std::span<std::uint8_t> data) override;
  std::span<const std::uint8_t> HeldBytes(FileId) override { return {}; }
  bool ReadNext(FileId file, std::span<std::uint8_t> data,
                std::size_t* got) override;
  bool ReadStream(FileId file, std::size_t limit,
                  std::vector<std::uint8_t>* bytes) override;
  std::size_t WriteAt(FileId file, std::uint64_t offset,
                      std::span<const std::uint8_t> data) override;
  bool CopyInto(FileId from, FileId to, std::uint64_t length) override;
  bool Flush(FileId file) override;
  Refusal WriteFailure() override { return write_failure_; }
  bool Close(FileId file) override;
  std::string ProgramExecutablePath() override;
  std::string ProgramFolder() override;
  bool ProgramsLieApart() override { return programs_lie_apart; }
  std::string FullPath(const std::string& path) override;
  Administrator AdministratorRights() override { return administrator; }
  Replaced FindReplaced(const std::string& path,
                        std::string* final_path) override;
  FileId CreateBeside(const std::string& path, std::string* created_path,
                      WriteRefusal* why) override;
  bool PutInPlace(const std::string& replacement, const std::string& path,
                  WriteRefusal* why) override;
  bool RemoveFile(const std::string& path) override;
  void ShowErrorBox(const std::string& caption,
                    const std::string& message) override;
  void ShowNoticeBox(const std::string& caption,
                     const std::string& message) override;
  Drawing OutputDrawing() override;
  Output PrintOutput(const std::string& caption,
                     const std::string& text) override;
  bool ShowPicture(const std::string& title, const Picture& picture) override;

 private:
  struct OpenFile {
    std::string path;
    OpenMode mode;
    std::uint64_t next = 0;  // where ReadNext goes on
  };
  // Logs the operation and tells whether it is one set to fail.
  bool Fails(const std::string& operation, const std::string& path);
  const OpenFile* Find(FileId file) const;
  std::string FindPath(const std::string& path, Naming naming);
  bool Exists(const std::string& path) override;
  void List(const std::string& folder, FolderNames* names) override;
  OpenedFile Opened(const std::string& path, OpenMode mode,
                    Found found = Found::File);

  std::map<FileId, OpenFile> open_;
  Refusal write_failure_ = Refusal::Unknown;
  FileId next_id_ = 3;
};

}  // namespace mdlReplace
