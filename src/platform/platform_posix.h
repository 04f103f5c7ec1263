// The platform on Linux and other POSIX systems.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace mdlReplace {

class PosixPlatform : public Platform {
 public:
  // The arguments after the program's own name, as the shell split them.
  explicit PosixPlatform(std::vector<std::string> arguments);

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
  std::string ResolvePath(const std::string& path);

  std::vector<std::string> arguments_;
  // Folders as the program spells them, and as this file system does.
  std::map<std::string, std::string> resolved_folders_;
};

}  // namespace mdlReplace
