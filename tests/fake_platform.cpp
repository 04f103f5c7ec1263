#include "fake_platform.h"

#include <algorithm>
#include <new>

#include "base/names.h"
#include "platform/argument_text.h"

namespace mdlReplace {

std::vector<std::uint8_t> Pattern(std::size_t length, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(length);
  for (std::size_t i = 0; i < length; ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 13 + seed);
  return bytes;
}

std::vector<std::uint8_t> FontPattern(std::uint8_t seed) {
  std::vector<std::uint8_t> bytes = Pattern(2048, seed);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] &= static_cast<std::uint8_t>(i * 7 + 3);
  return bytes;
}

FakePlatform::~FakePlatform() = default;

void FakePlatform::AddFile(const std::string& path, std::uint64_t length,
                           std::uint8_t fill) {
  files[path].bytes.assign(length, fill);
}

std::vector<std::string> FakePlatform::Logged(
    const std::string& operation) const {
  std::vector<std::string> lines;
  for (const std::string& line : log) {
    if (line.rfind(operation + " ", 0) == 0)
      lines.push_back(line);
  }
  return lines;
}

bool FakePlatform::Fails(const std::string& operation,
                         const std::string& path) {
  log.push_back(operation + " " + path);
  const bool fails =
      fail_on_call != 0 && (log.size() == fail_on_call ||
                            (fail_onward && log.size() > fail_on_call));
  if (fails && fail_without_memory)
    throw std::bad_alloc();
  if (fails && (operation == "reserve" || operation == "write" ||
                operation == "copy" || operation == "flush"))
    write_failure_ = fault_refusal;
  return fails;
}

const FakePlatform::OpenFile* FakePlatform::Find(FileId file) const {
  auto it = open_.find(file);
  return it == open_.end() ? nullptr : &it->second;
}

// Each lookup anew: a test changes the files between runs.
std::string FakePlatform::FindPath(const std::string& path, Naming naming) {
  if (naming == Naming::Exact)
    return path;
  std::string found = path;
  SpelledNames(*this, Separator()).Find(path, [&](const std::string& key) {
    found = key;
    return files.count(key) != 0;
  });
  return found;
}

bool FakePlatform::Exists(const std::string& path) {
  return std::any_of(files.begin(), files.end(), [&](const auto& file) {
    return LiesUnder(file.first, path);
  });
}

void FakePlatform::List(const std::string& folder, FolderNames* names) {
  for (const auto& [path, file] : files) {
    const std::string_view name = NameInFolder(path, folder);
    if (!name.empty())
      names->Add(name);
  }
}

// Given split arguments, the text is made of them as on Linux.
std::string FakePlatform::ArgumentText() {
  return command_arguments.empty() ? argument_text
                                   : RebuildArgumentText(command_arguments);
}

std::vector<std::string> FakePlatform::SplitArguments() {
  return command_arguments;
}

OpenedFile FakePlatform::Open(const std::string& path, Naming naming,
                              OpenMode mode) {
  const char* name = mode == OpenMode::ReadWrite ? "open-rw" : "open-r";
  const std::string found = FindPath(path, naming);
  auto it = files.find(found);
  if (Fails(name, path))
    return OpenedFile{.found =
                          it != files.end() ? Found::Refused : Found::Absent};
  if (it == files.end())
    return OpenedFile{.found = Found::Absent};
  const Kind kind = it->second.kind;
  if (kind == Kind::Folder)
    return OpenedFile{.found = Found::Folder};
  if (kind == Kind::Pipe && mode == OpenMode::ReadWrite)
    return OpenedFile{.found = Found::Other};
  if (mode == OpenMode::ReadWrite && it->second.read_only)
    return OpenedFile{.found = Found::Refused, .refusal = it->second.refusal};
  return Opened(found, mode, kind == Kind::Pipe ? Found::Stream : Found::File);
}

Found FakePlatform::Look(const std::string& path) {
  auto it = files.find(path);
  if (Fails("look", path) || it == files.end())
    return Found::Absent;
  switch (it->second.kind) {
    case Kind::Ordinary:
      break;
    case Kind::Folder:
      return Found::Folder;
    case Kind::Pipe:
      return Found::Stream;
  }
  return Found::File;
}

OpenedFile FakePlatform::OpenRunningProgram() {
  if (Fails("open-self", program_path) || files.count(program_path) == 0)
    return OpenedFile{.found = Found::Refused};
  return Opened(program_path, OpenMode::Read);
}

OpenedFile FakePlatform::OpenLocked(const std::string& path) {
  if (Fails("lock", path))
    return OpenedFile{.found = Found::Refused};
  if (files.count(path) == 0)
    return OpenedFile{.found = Found::Absent};
  return Opened(path, OpenMode::Read);
}

OpenedFile FakePlatform::Opened(const std::string& path, OpenMode mode,
                                Found found) {
  const FileId id = next_id_++;
  open_[id] = OpenFile{path, mode};
  most_open_at_once = std::max(most_open_at_once, open_.size());
  OpenedFile file{.found = found};
  file.id = id;
  file.length = files[path].bytes.size();
  file.has_holes = files[path].sparse;
  return file;
}

bool FakePlatform::Reserve(FileId file, std::uint64_t offset,
                           std::uint64_t length) {
  const OpenFile* open = Find(file);
  if (open == nullptr || Fails("reserve", open->path) ||
      offset + length > files[open->path].bytes.size())
    return false;
  files[open->path].sparse = false;
  return true;
}

bool FakePlatform::ReadAt(FileId file, std::uint64_t offset,
                          std::span<std::uint8_t> data) {
  const OpenFile* open = Find(file);
  if (open == nullptr || Fails("read", open->path))
    return false;
  const std::vector<std::uint8_t>& bytes = files[open->path].bytes;
  if (offset > bytes.size() || bytes.size() - offset < data.size())
    return false;
  std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), data.size(),
              data.begin());
  return true;
}

bool FakePlatform::ReadNext(FileId file, std::span<std::uint8_t> data,
                            std::size_t* got) {
  const auto open = open_.find(file);
  if (open == open_.end() || Fails("read", open->second.path))
    return false;
  const std::vector<std::uint8_t>& bytes = files[open->second.path].bytes;
  const std::uint64_t next =
      std::min<std::uint64_t>(open->second.next, bytes.size());
  *got = static_cast<std::size_t>(
      std::min<std::uint64_t>(data.size(), bytes.size() - next));
  std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(next), *got,
              data.begin());
  open->second.next = next + *got;
  return true;
}

bool FakePlatform::ReadStream(FileId file, std::size_t limit,
                              std::vector<std::uint8_t>* bytes) {
  const OpenFile* open = Find(file);
  if (open == nullptr || Fails("read", open->path))
    return false;
  *bytes = files[open->path].bytes;
  return bytes->size() <= limit;
}

std::size_t FakePlatform::WriteAt(FileId file, std::uint64_t offset,
                                  std::span<const std::uint8_t> data) {
  const OpenFile* open = Find(file);
  if (open == nullptr || open->mode != OpenMode::ReadWrite)
    return 0;
  const bool fails = Fails("write", open->path);
  // A write that fails part way has written some of its bytes.
  const std::size_t count = fails ? data.size() / 2 : data.size();
  std::vector<std::uint8_t>& bytes = files[open->path].bytes;
  if (bytes.size() < offset + count)
    bytes.resize(offset + count);
  std::copy_n(data.begin(), count,
              bytes.begin() + static_cast<std::ptrdiff_t>(offset));
  return count;
}

bool FakePlatform::CopyInto(FileId from, FileId to, std::uint64_t length) {
  const OpenFile* source = Find(from);
  const OpenFile* target = Find(to);
  if (source == nullptr || target == nullptr ||
      target->mode != OpenMode::ReadWrite || Fails("copy", target->path))
    return false;
  const std::vector<std::uint8_t>& bytes = files[source->path].bytes;
  if (length > bytes.size())
    return false;
  std::vector<std::uint8_t>& copy = files[target->path].bytes;
  copy.assign(bytes.begin(),
              bytes.begin() + static_cast<std::ptrdiff_t>(length));
  return true;
}

bool FakePlatform::Flush(FileId file) {
  const OpenFile* open = Find(file);
  return open != nullptr && !Fails("flush", open->path);
}

bool FakePlatform::Close(FileId file) {
  const OpenFile* open = Find(file);
  if (open == nullptr)
    return false;
  const bool failed = Fails("close", open->path);
  open_.erase(file);
  return !failed;
}

std::string FakePlatform::ProgramExecutablePath() {
  return program_path;
}

std::string FakePlatform::ProgramFolder() {
  return std::string(FolderOf(program_path));
}

// A path is full when it begins at a drive or at the root.
std::string FakePlatform::FullPath(const std::string& path) {
  if (path.starts_with('\\') || (path.size() >= 2 && path[1] == ':'))
    return path;
  return current_folder + (path.starts_with(".\\") ? path.substr(2) : path);
}

// No links here: a path names its file or nothing.
Replaced FakePlatform::FindReplaced(const std::string& path,
                                    std::string* final_path) {
  *final_path = path;
  const auto found = files.find(path);
  if (found == files.end())
    return Replaced::New;
  return found->second.kind == Kind::Ordinary ? Replaced::File
                                              : Replaced::NotAFile;
}

FileId FakePlatform::CreateBeside(const std::string& path,
                                  std::string* created_path,
                                  WriteRefusal* why) {
  const auto original = files.find(path);
  // The folder's entry is its path without the separator.
  const std::string_view folder = FolderOf(path);
  const auto in = files.find(
      std::string(folder.substr(0, folder.size() - !folder.empty())));
  if (Fails("create", path))
    return kNoFile;
  if (original != files.end() && original->second.read_only) {
    *why = WriteRefusal{.reason = original->second.refusal};
    return kNoFile;
  }
  if (in != files.end() && in->second.read_only) {
    *why = WriteRefusal{.reason = in->second.refusal, .in_folder = true};
    return kNoFile;
  }
  const std::string name = std::string(FolderOf(path)) + "~NEW";
  if (files.count(name) != 0)
    return kNoFile;
  files[name];
  *created_path = name;
  return Opened(name, OpenMode::ReadWrite).id;
}

bool FakePlatform::PutInPlace(const std::string& replacement,
                              const std::string& path, WriteRefusal* /*why*/) {
  if (Fails("rename", replacement) || files.count(replacement) == 0)
    return false;
  files[path] = files[replacement];
  files.erase(replacement);
  return true;
}

bool FakePlatform::RemoveFile(const std::string& path) {
  return !Fails("remove", path) && files.erase(path) == 1;
}

void FakePlatform::ShowErrorBox(const std::string& caption,
                                const std::string& message) {
  messages.push_back(caption + ": " + message);
}

void FakePlatform::ShowNoticeBox(const std::string& caption,
                                 const std::string& message) {
  messages.push_back(caption + ": " + message);
}

Drawing FakePlatform::OutputDrawing() {
  return drawing;
}

Output FakePlatform::PrintOutput(const std::string& /*caption*/,
                                 const std::string& text) {
  if (Fails("print", "-"))
    return Output::Failed;
  output += text;
  return Output::Shown;
}

bool FakePlatform::ShowPicture(const std::string& title, const Picture& shown) {
  if (drawing != Drawing::Picture || Fails("picture", title))
    return false;
  picture_titles.push_back(title);
  picture = shown;
  return true;
}

}  // namespace mdlReplace
