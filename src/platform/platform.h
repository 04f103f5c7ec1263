// The one seam between the program and the operating system.
//
// The front end, the patcher and the attached-font code reach files, the
// command line and the user only through this interface. Paths are UTF-8
// strings that use the backslash as folder separator, as the program builds
// them; each implementation turns them into the platform's own form. A real
// implementation exists per platform (platform_posix.cpp, platform_win32.cpp)
// and the tests have an in-memory one that records what a run did.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace mdlReplace {

// An open file, as handed out by Platform::Open; only the platform that
// opened it gives the number a meaning.
using FileId = std::intptr_t;
constexpr FileId kNoFile = -1;

enum class OpenMode { Read, ReadWrite };

class Platform {
 public:
  virtual ~Platform() = default;

  // The command line after the program's own name and the blanks that
  // follow it, unsplit, with its double quotes and blanks.
  virtual std::string ArgumentText() = 0;

  // The text with its letters in upper case, as the platform's file names
  // compare.
  virtual std::string UpperCase(const std::string& text) = 0;

  // True when the path names an ordinary file: not a folder, device, pipe or
  // socket, and not marked hidden or system. False for the empty path and
  // for anything that cannot be looked at.
  virtual bool FileExists(const std::string& path) = 0;

  // Opens an existing ordinary file; kNoFile when it cannot be opened in
  // that mode, or turns out not to be an ordinary file. Never waits.
  virtual FileId Open(const std::string& path, OpenMode mode) = 0;

  // The length of the open file in bytes, as the file itself reports it.
  virtual bool Length(FileId file, std::uint64_t* length) = 0;

  // Reads exactly data.size() bytes from the offset; false on an error or
  // when the file ends first.
  virtual bool ReadAt(FileId file, std::uint64_t offset,
                      std::span<std::uint8_t> data) = 0;

  // Writes all of data at the offset; false unless every byte was written.
  virtual bool WriteAt(FileId file, std::uint64_t offset,
                       std::span<const std::uint8_t> data) = 0;

  // Pushes what was written down to the disk.
  virtual bool Flush(FileId file) = 0;

  // Closes the file; false when the system reports that the close failed.
  // The file id is gone either way.
  virtual bool Close(FileId file) = 0;

  // The path of the running program's own executable file.
  virtual std::string ProgramExecutablePath() = 0;

  // Creates a new, empty file in the folder of the path, with the path's
  // permissions, opened for writing; its name goes to created_path. kNoFile
  // when it cannot be created.
  virtual FileId CreateBeside(const std::string& path,
                              std::string* created_path) = 0;

  // Puts the replacement in the path's place in one step, even while the
  // file at the path is running: afterwards the path names the replacement,
  // or, on failure, still the file it named before.
  virtual bool PutInPlace(const std::string& replacement,
                          const std::string& path) = 0;

  // Removes the file.
  virtual bool RemoveFile(const std::string& path) = 0;

  // Shows an error to the user: the caption, the message and an OK button,
  // in a modal box where the platform has one. Lines of the message are
  // separated by carriage return and line feed. Returns when the user has
  // seen it.
  virtual void ShowErrorBox(const std::string& caption,
                            const std::string& message) = 0;
};

}  // namespace mdlReplace
