#include "fake_platform.h"

#include <algorithm>

namespace mdlReplace {

std::vector<std::uint8_t> Pattern(std::size_t length, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(length);
  for (std::size_t i = 0; i < length; ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 13 + seed);
  return bytes;
}

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
  return log.size() == fail_on_call;
}

const FakePlatform::OpenFile* FakePlatform::Find(FileId file) const {
  auto it = open_.find(file);
  return it == open_.end() ? nullptr : &it->second;
}

std::string FakePlatform::ArgumentText() {
  return argument_text;
}

std::string FakePlatform::UpperCase(const std::string& text) {
  std::string upper = text;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return upper;
}

bool FakePlatform::FileExists(const std::string& path) {
  return !Fails("exists", path) && files.count(path) != 0;
}

FileId FakePlatform::Open(const std::string& path, OpenMode mode) {
  const char* name = mode == OpenMode::ReadWrite ? "open-rw" : "open-r";
  if (Fails(name, path))
    return kNoFile;
  auto it = files.find(path);
  if (it == files.end() ||
      (mode == OpenMode::ReadWrite && it->second.read_only))
    return kNoFile;
  return Opened(path, mode);
}

FileId FakePlatform::Opened(const std::string& path, OpenMode mode) {
  const FileId id = next_id_++;
  open_[id] = OpenFile{path, mode};
  most_open_at_once = std::max(most_open_at_once, open_.size());
  return id;
}

bool FakePlatform::Length(FileId file, std::uint64_t* length) {
  const OpenFile* open = Find(file);
  if (open == nullptr || Fails("length", open->path))
    return false;
  *length = files[open->path].bytes.size();
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

bool FakePlatform::WriteAt(FileId file, std::uint64_t offset,
                           std::span<const std::uint8_t> data) {
  const OpenFile* open = Find(file);
  if (open == nullptr || Fails("write", open->path) ||
      open->mode != OpenMode::ReadWrite)
    return false;
  std::vector<std::uint8_t>& bytes = files[open->path].bytes;
  if (bytes.size() < offset + data.size())
    bytes.resize(offset + data.size());
  std::copy(data.begin(), data.end(),
            bytes.begin() + static_cast<std::ptrdiff_t>(offset));
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

FileId FakePlatform::CreateBeside(const std::string& path,
                                  std::string* created_path) {
  if (Fails("create", path) || files.count(path) == 0)
    return kNoFile;
  const std::string name = path.substr(0, path.rfind('\\') + 1) + "~NEW";
  if (files.count(name) != 0)
    return kNoFile;
  files[name].read_only = files[path].read_only;
  *created_path = name;
  return Opened(name, OpenMode::ReadWrite);
}

bool FakePlatform::PutInPlace(const std::string& replacement,
                              const std::string& path) {
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

}  // namespace mdlReplace
