// The platform on Linux and other POSIX systems.
#pragma once

#include <string>
#include <vector>

#include "base/names.h"
#include "base/spelled_names.h"
#include "platform/platform.h"

namespace mdlReplace {

// The file system's folders, for finding spelled names.
class PosixFolders : public Folders {
 public:
  bool Exists(const std::string& path) override;
  void List(const std::string& folder, FolderNames* names) override;
};

class PosixPlatform : public Platform {
 public:
  // The arguments after the program's own name, as the shell split them.
  // A message that finds standard error closed, or a write beyond the
  // file-size limit, fails like any other rather than ending the program.
  explicit PosixPlatform(std::vector<std::string> arguments);
  // Removes a copy that was being written when the run was cut short.
  ~PosixPlatform() override;

  std::string ArgumentText() override;
  std::vector<std::string> SplitArguments() override;
  OpenedFile Open(const std::string& path, Naming naming,
                  OpenMode mode) override;
  char Separator() override { return '/'; }
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
  bool ProgramsLieApart() override { return true; }
  std::string FullPath(const std::string& path) override;
  Administrator AdministratorRights() override { return Administrator::None; }
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
  std::vector<std::string> arguments_;
  Refusal write_failure_ = Refusal::Unknown;
  PosixFolders folders_;
  SpelledNames names_{folders_, '/'};
};

}  // namespace mdlReplace
