// The platform on Windows: wide-character calls throughout.
#pragma once

#include <map>
#include <string>

#include "platform/platform.h"

namespace mdlReplace {

class Win32Platform : public Platform {
 public:
  // Removes what earlier runs left beside the program: copies they were cut
  // short from putting in place, programs moved aside while they ran.
  Win32Platform();
  // Made in one file: made inline in each file that ends a platform, the
  // destructor's thunks for its roles differ from file to file, and MinGW's
  // linker takes them for second definitions when it optimises at link time.
  ~Win32Platform() override;

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
  bool ProgramsLieApart() override { return false; }
  std::string FullPath(const std::string& path) override;
  Administrator AdministratorRights() override;
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
  Refusal write_failure_ = Refusal::Unknown;
  // Where PrintOutput's text goes, found on first use.
  enum class OutputKind { Unknown, Console, Stream, Box };

  OpenedFile OpenShared(const std::string& path, bool write,
                        unsigned long share);
  // Open files are handed out as small numbers standing for their handles.
  FileId Adopt(void* handle);
  void* Handle(FileId file) const;
  void FindOutput();
  // Shows the text in a window that fits the screen and scrolls, until
  // the user closes it; false where no window can be shown.
  bool ShowText(const std::string& title, const std::string& text);

  std::map<FileId, void*> handles_;
  FileId next_file_ = 1;
  OutputKind output_kind_ = OutputKind::Unknown;
  void* output_ = nullptr;
};

}  // namespace mdlReplace
