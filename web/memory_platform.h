// The platform of the page: files are buffers that the page hands in, and
// what the program would have written to the disk stays in them, for the
// page to write back the way the browser allows.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/spelled_names.h"
#include "platform/platform.h"

namespace mdlReplace {

// Only the roles that the page's calls use: the files, replacing them
// whole, and the messages.
class MemoryPlatform : public Replacer, public User, private Folders {
 public:
  using Bytes = std::vector<std::uint8_t>;

  // A range that the program wrote into a file.
  struct Written {
    std::uint64_t offset;
    std::uint64_t length;
  };

  // A file's bytes, from bytes_at to its end: a file too long to read
  // whole is handed in by its end alone, where a program keeps its font,
  // and reading before that fails, as does writing it.
  struct File {
    Bytes bytes;
    std::uint64_t bytes_at = 0;
    std::vector<Written> written;
  };

  // Paths as the program names them: "game\ZYR2.EXE"; where the program
  // spells a path as a player would, it is found as on a disk whose names
  // have case (base/spelled_names.h).
  std::map<std::string, File> files;
  // What the program said, one message a line (its own line breaks kept).
  std::vector<std::string> messages;

  OpenedFile Open(const std::string& path, Naming naming,
                  OpenMode mode) override;
  char Separator() override { return '\\'; }
  Found Look(const std::string& path) override;
  // Memory has no blocks to allocate, and nothing to push down to a disk.
  bool Reserve(FileId, std::uint64_t, std::uint64_t) override { return true; }
  bool ReadAt(FileId file, std::uint64_t offset,
              std::span<std::uint8_t> data) override;
  std::span<const std::uint8_t> HeldBytes(FileId file) override;
  bool ReadNext(FileId file, std::span<std::uint8_t> data,
                std::size_t* got) override;
  bool ReadStream(FileId file, std::size_t limit, Bytes* bytes) override;
  std::size_t WriteAt(FileId file, std::uint64_t offset,
                      std::span<const std::uint8_t> data) override;
  bool CopyInto(FileId from, FileId to, std::uint64_t length) override;
  bool Flush(FileId) override { return true; }
  // Memory that runs out ends the call; no write fails for room.
  Refusal WriteFailure() override { return Refusal::Unknown; }
  bool Close(FileId file) override;
  OpenedFile OpenLocked(const std::string& path) override;
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

 private:
  std::string FindPath(const std::string& path, Naming naming);
  bool Exists(const std::string& path) override;
  void List(const std::string& folder, FolderNames* names) override;
  OpenedFile Opened(const std::string& path);

  std::map<FileId, std::string> open_;
  std::map<FileId, std::uint64_t> next_;  // where ReadNext goes on
  FileId next_id_ = 1;
};

}  // namespace mdlReplace
