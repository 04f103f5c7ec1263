// The platform on Windows: wide-character calls throughout.
#pragma once

#include <map>
#include <string>

#include "platform/platform.h"

namespace mdlReplace {

class Win32Platform : public Platform {
 public:
  // Removes what an earlier attach had to leave behind.
  Win32Platform();

  std::string ArgumentText() override;
  std::string UpperCase(const std::string& text) override;
  bool FileExists(const std::string& path) override;
  FileId Open(const std::string& path, OpenMode mode) override;
  bool Length(FileId file, std::uint64_t* length) override;
  bool ReadAt(FileId file, std::uint64_t offset,
              std::span<std::uint8_t> data) override;
  bool WriteAt(FileId file, std::uint64_t offset,
               std::span<const std::uint8_t> data) override;
  bool Flush(FileId file) override;
  bool Close(FileId file) override;
  std::string ProgramExecutablePath() override;
  FileId CreateBeside(const std::string& path,
                      std::string* created_path) override;
  bool PutInPlace(const std::string& replacement,
                  const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  void ShowErrorBox(const std::string& caption,
                    const std::string& message) override;

 private:
  // Open files are handed out as small numbers standing for their handles.
  FileId Adopt(void* handle);
  void* Handle(FileId file) const;

  std::map<FileId, void*> handles_;
  FileId next_file_ = 1;
};

}  // namespace mdlReplace
