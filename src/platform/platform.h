// The one seam between the program and the operating system, in roles.
//
// The front end, the patcher, the attached font and the font tools reach
// files, the command line and the user only through these interfaces, each
// taking only the roles it uses. Paths are UTF-8 strings. A real
// implementation exists per platform (src/platform/*_posix.cpp and
// *_win32.cpp, one file per concern); the tests have an in-memory one that
// records what a run did and can make any operation fail, and the page one
// of only the roles its calls use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/picture.h"

namespace mdlReplace {

// An open file, as handed out by the platform; only the platform that
// opened it gives the number a meaning.
using FileId = std::intptr_t;
constexpr FileId kNoFile = -1;

// Read opens a pipe as its readers open one, waiting for a writer.
// ReadAtOnce does not wait: a pipe it finds is handed out as a Stream at
// once, to be closed, not read; for a file that is to be the ordinary file
// it was.
enum class OpenMode { Read, ReadAtOnce, ReadWrite };

// How a path names its file.
enum class Naming {
  // As the game and its players write paths: tried as written, and where
  // nothing is there, a backslash separates folders as a slash does and,
  // where names have case, each name that is not found as written is
  // looked for in upper case, then ignoring ASCII case
  // (base/spelled_names.h).
  Spelled,
  // The platform's own path, used exactly as it stands.
  Exact,
};

enum class Found {
  File,     // an ordinary file, now open
  Absent,   // nothing there
  Folder,   // a folder
  Other,    // something else that is no ordinary file: a device, say
  Stream,   // a pipe, now open for reading to its end (in Read mode only;
            // in ReadWrite mode a pipe is Other)
  Refused,  // an ordinary file that may not be opened in that mode
};

// Why the system would not let a file be written, as far as it tells: the
// user is told what to do by it.
enum class Refusal {
  Unknown,         // no reason the program tells apart
  ReadOnlyFile,    // the file is marked read-only
  ReadOnlyMedium,  // on a disc, or a drive or file system that is read-only
  InUse,           // another program has it open, as the running game does
  Denied,          // the user lacks the right, which an administrator may have
  DiskFull,        // no room left on the disk (or in the user's quota)
  TooLarge,        // past the largest file the program may write: the
                   // file-size limit it runs under
};

// A refusal to write, as a new file beside another or a rename asks.
struct WriteRefusal {
  Refusal reason = Refusal::Unknown;
  // The folder refused the new name, not the file its content.
  bool in_folder = false;
  // The system's own words for a reason the program does not tell apart,
  // where it gave some; empty otherwise.
  std::string system_words{};
  // The bytes the write needs on the disk, for a full one; 0 where the
  // writer cannot tell.
  std::uint64_t room = 0;
};

// What a user whom the system refused a write for want of rights can do
// about it as administrator.
enum class Administrator {
  // Nothing the program says: where programs are the system's, its owner's
  // ways are the user's own.
  None,
  // Start the program as administrator (Windows' "Run as administrator").
  Offered,
  // Start it with an administrator's account, where the system elevates
  // no one (Windows XP's "Run as...").
  OfferedAsAnotherUser,
  // Nothing more: the program runs as administrator already, and the
  // system refuses even that.
  Already,
};

struct OpenedFile {
  Found found = Found::Absent;
  FileId id = kNoFile;  // open when found is File or Stream, and then
                        // closed by Close
  std::uint64_t length = 0;
  // Some of its blocks are not allocated yet (a sparse file): writing there
  // needs space that a full disk refuses part way.
  bool has_holes = false;
  // Marked hidden or system (on Windows): no game file of the player's.
  bool hidden = false;
  // Why, when found is Refused.
  Refusal refusal = Refusal::Unknown;
};

// What replacing a file would replace.
enum class Replaced {
  File,         // an ordinary file, perhaps through symbolic links
  New,          // nothing yet: a new file
  NotAFile,     // a folder, device or pipe, or a link to one, or a loop
  DanglingLink  // a symbolic link to nothing
};

// How far text the user asked for got.
enum class Output {
  Shown,
  ReaderGone,  // the reader of a pipe closed it early: nothing to report
  Failed,      // a full disk, say: the user should hear of it
};

// Open files: reading and writing them, as the font sources, the game's
// files and the program's own are read and written.
class Files {
 public:
  virtual ~Files() = default;

  // What the platform's own paths put between a folder and a name: a path
  // in a folder is joined by it (base/names.h's PathInFolder).
  virtual char Separator() = 0;

  // Opens an ordinary file and takes its length, or a pipe; never waits,
  // and never creates a file. On a failure the answer says whether an
  // ordinary file is there at all.
  virtual OpenedFile Open(const std::string& path, Naming naming,
                          OpenMode mode) = 0;

  // What the exact path names, as Open in Read mode would find it, without
  // reading it: a pipe is not opened, since opening it lets its writer go
  // on (to write to no one, should the reader close). An ordinary file
  // that may not be read is File.
  virtual Found Look(const std::string& path) = 0;

  // Allocates the blocks of a range inside the file, so that writing it
  // needs no new space; the length and the content stay as they are. True
  // where the file system has no way to do so.
  virtual bool Reserve(FileId file, std::uint64_t offset,
                       std::uint64_t length) = 0;

  // Reads exactly data.size() bytes from the offset; false on an error or
  // when the file ends first.
  virtual bool ReadAt(FileId file, std::uint64_t offset,
                      std::span<std::uint8_t> data) = 0;

  // The whole of an open file's bytes where the platform already holds
  // them in memory (the page's files), to be read in place; empty where it
  // does not (a file on a disk is read with ReadAt).
  virtual std::span<const std::uint8_t> HeldBytes(FileId file) = 0;

  // Reads the bytes that follow those it read before (the first ones,
  // first), of a file or a pipe, to its end however long it says it is:
  // up to data.size() of them, and how many goes to got, 0 at the end.
  // False on an error. Not to be mixed with ReadAt on one file.
  virtual bool ReadNext(FileId file, std::span<std::uint8_t> data,
                        std::size_t* got) = 0;

  // Reads a stream to its end; false on an error, or when it holds more
  // than limit bytes.
  virtual bool ReadStream(FileId file, std::size_t limit,
                          std::vector<std::uint8_t>* bytes) = 0;

  // Writes data at the offset and returns how many of its bytes, from the
  // first on, were written: all of them, unless it failed.
  virtual std::size_t WriteAt(FileId file, std::uint64_t offset,
                              std::span<const std::uint8_t> data) = 0;

  // Copies the first length bytes of one file to the start of another, in
  // constant memory (in the kernel where it can).
  virtual bool CopyInto(FileId from, FileId to, std::uint64_t length) = 0;

  // Pushes what was written down to the disk.
  virtual bool Flush(FileId file) = 0;

  // Why the last Reserve, WriteAt, CopyInto or Flush that failed did, as
  // far as the system tells (a full disk, a file-size limit); Unknown
  // where it does not, or where none failed.
  virtual Refusal WriteFailure() = 0;

  // Closes the file; false when the system reports that the close failed.
  // The file id is gone either way.
  virtual bool Close(FileId file) = 0;
};

// Replacing a file whole beside it, and the lock by which attaches take
// turns: what writing a new file, or a new program, needs besides its
// files.
class Replacer : public Files {
 public:
  // Opens the file at the exact path for reading and takes an exclusive
  // lock on it, waiting for any other holder; the lock lasts until Close.
  // The file is the one that the path names once the lock is held.
  virtual OpenedFile OpenLocked(const std::string& path) = 0;

  // What replacing the exact path would replace: through symbolic links,
  // the file they finally name, whose path goes to final_path.
  virtual Replaced FindReplaced(const std::string& path,
                                std::string* final_path) = 0;

  // Creates a new, empty file under a short name of its own in the folder
  // of the exact path, opened for writing, with the permissions (and, where
  // allowed, the owner and attributes) of the ordinary file at the path, or
  // those of a new file where there is none; its name goes to
  // created_path. An existing file is never opened for it. kNoFile when it
  // cannot be created, or when the file at the path may not be written.
  // Copies in that folder that earlier runs were cut short from putting in
  // place are removed first, and none that a running program still owns.
  // Until the copy is put in place or removed, a signal that ends the
  // program removes it first. On kNoFile, why says why.
  virtual FileId CreateBeside(const std::string& path,
                              std::string* created_path, WriteRefusal* why) = 0;

  // Puts the replacement in the exact path's place in one step, even while
  // the file at the path is running: afterwards the path names the
  // replacement, or, on failure, still what it named before, and why says
  // why.
  virtual bool PutInPlace(const std::string& replacement,
                          const std::string& path, WriteRefusal* why) = 0;

  // Removes the file at the exact path.
  virtual bool RemoveFile(const std::string& path) = 0;
};

// The program as it was started: its command line, its own file, and
// where the text its commands print goes.
class CommandLine {
 public:
  virtual ~CommandLine() = default;

  // The command line after the program's own name and the blanks that
  // follow it, unsplit, with its double quotes and blanks.
  virtual std::string ArgumentText() = 0;

  // The arguments of the command line, without the program's name, as the
  // platform splits them: on Linux as the shell gave them, on Windows by
  // CommandLineToArgvW's rules. Empty when they cannot be had.
  virtual std::vector<std::string> SplitArguments() = 0;

  // Opens the running program's own image for reading: the file it was
  // started from, even if that has since been replaced or removed.
  virtual OpenedFile OpenRunningProgram() = 0;

  // The exact path of the running program's own executable file; empty
  // when the system cannot tell.
  virtual std::string ProgramExecutablePath() = 0;

  // The folder of that file, ending with a separator, by the system's own
  // rule for its paths; empty when the system cannot tell.
  virtual std::string ProgramFolder() = 0;

  // Whether programs lie apart from the files they work on, among the
  // system's own (as a Linux package installs them in /usr/bin), rather
  // than where a user put them: a Windows player unpacks this program into
  // the game's folder.
  virtual bool ProgramsLieApart() = 0;

  // The path made full against the current folder, by the system's rule,
  // as a command started elsewhere would need it; the path as it is where
  // the system cannot tell.
  virtual std::string FullPath(const std::string& path) = 0;

  // What a user refused a write for want of rights can do as
  // administrator, which the messages then say.
  virtual Administrator AdministratorRights() = 0;

  // What PrintOutput can draw with where its text goes.
  virtual Drawing OutputDrawing() = 0;

  // Shows text the user asked for (lines end with a line feed): on the
  // standard output, or in a box under the caption where there is none.
  virtual Output PrintOutput(const std::string& caption,
                             const std::string& text) = 0;

  // Shows the picture magnified in a window under the title, until the user
  // closes it; false where no window can be shown.
  virtual bool ShowPicture(const std::string& title,
                           const Picture& picture) = 0;
};

// The user, told what went wrong, or news.
class User {
 public:
  virtual ~User() = default;

  // Shows an error to the user: the caption, the message and an OK button,
  // in a modal box where the platform has one. Lines of the message are
  // separated by carriage return and line feed. Returns when the user has
  // seen it.
  virtual void ShowErrorBox(const std::string& caption,
                            const std::string& message) = 0;

  // Tells the user something that is no failure, as ShowErrorBox does, but
  // marked as information where a box has a mark.
  virtual void ShowNoticeBox(const std::string& caption,
                             const std::string& message) = 0;
};

// All of the above, as the program's entry builds it. A function takes
// only the roles it uses, and is handed the platform all the same.
class Platform : public Replacer, public CommandLine, public User {};

}  // namespace mdlReplace
