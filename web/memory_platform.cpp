#include "memory_platform.h"

#include <algorithm>

namespace mdlReplace {

std::string MemoryPlatform::FindPath(const std::string& path, Naming naming) {
  if (naming == Naming::Exact)
    return path;
  std::string found = path;
  SpelledNames(*this, Separator()).Find(path, [&](const std::string& key) {
    found = key;
    return files.count(key) != 0;
  });
  return found;
}

bool MemoryPlatform::Exists(const std::string& path) {
  return std::any_of(files.begin(), files.end(), [&](const auto& file) {
    return LiesUnder(file.first, path);
  });
}

void MemoryPlatform::List(const std::string& folder, FolderNames* names) {
  for (const auto& [path, file] : files) {
    const std::string_view name = NameInFolder(path, folder);
    if (!name.empty())
      names->Add(name);
  }
}

OpenedFile MemoryPlatform::Opened(const std::string& path) {
  const FileId id = next_id_++;
  open_[id] = path;
  OpenedFile file{.found = Found::File};
  file.id = id;
  file.length = files[path].bytes_at + files[path].bytes.size();
  return file;
}

OpenedFile MemoryPlatform::Open(const std::string& path, Naming naming,
                                OpenMode /*mode*/) {
  const std::string found = FindPath(path, naming);
  if (files.count(found) == 0)
    return OpenedFile{.found = Found::Absent};
  return Opened(found);
}

Found MemoryPlatform::Look(const std::string& path) {
  return files.count(path) == 0 ? Found::Absent : Found::File;
}

OpenedFile MemoryPlatform::OpenLocked(const std::string& path) {
  if (files.count(path) == 0)
    return OpenedFile{.found = Found::Absent};
  return Opened(path);
}

bool MemoryPlatform::ReadAt(FileId file, std::uint64_t offset,
                            std::span<std::uint8_t> data) {
  const auto open = open_.find(file);
  if (open == open_.end())
    return false;
  const File& read = files[open->second];
  if (offset < read.bytes_at)
    return false;
  const std::uint64_t at = offset - read.bytes_at;
  if (at > read.bytes.size() || read.bytes.size() - at < data.size())
    return false;
  std::copy_n(read.bytes.begin() + static_cast<std::ptrdiff_t>(at), data.size(),
              data.begin());
  return true;
}

// A file handed in whole is read where it lies, not copied again.
std::span<const std::uint8_t> MemoryPlatform::HeldBytes(FileId file) {
  const auto open = open_.find(file);
  if (open == open_.end() || files[open->second].bytes_at != 0)
    return {};
  return files[open->second].bytes;
}

// A file handed in without its bytes, longer than the page reads, has none
// to read in order.
bool MemoryPlatform::ReadNext(FileId file, std::span<std::uint8_t> data,
                              std::size_t* got) {
  const auto open = open_.find(file);
  if (open == open_.end() || files[open->second].bytes_at != 0)
    return false;
  const Bytes& bytes = files[open->second].bytes;
  const std::uint64_t next = std::min<std::uint64_t>(next_[file], bytes.size());
  *got = static_cast<std::size_t>(
      std::min<std::uint64_t>(data.size(), bytes.size() - next));
  std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(next), *got,
              data.begin());
  next_[file] = next + *got;
  return true;
}

// The page hands in files, not pipes; a file read as one gives its bytes.
bool MemoryPlatform::ReadStream(FileId file, std::size_t limit, Bytes* bytes) {
  const auto open = open_.find(file);
  if (open == open_.end() || files[open->second].bytes_at != 0 ||
      files[open->second].bytes.size() > limit)
    return false;
  *bytes = files[open->second].bytes;
  return true;
}

std::size_t MemoryPlatform::WriteAt(FileId file, std::uint64_t offset,
                                    std::span<const std::uint8_t> data) {
  const auto open = open_.find(file);
  if (open == open_.end())
    return 0;
  File& written = files[open->second];
  if (written.bytes_at != 0)
    return 0;
  if (written.bytes.size() < offset + data.size())
    written.bytes.resize(offset + data.size());
  std::copy(data.begin(), data.end(),
            written.bytes.begin() + static_cast<std::ptrdiff_t>(offset));
  written.written.push_back(Written{offset, data.size()});
  return data.size();
}

bool MemoryPlatform::CopyInto(FileId from, FileId to, std::uint64_t length) {
  const auto source = open_.find(from);
  const auto target = open_.find(to);
  if (source == open_.end() || target == open_.end() ||
      files[source->second].bytes_at != 0 ||
      files[source->second].bytes.size() < length)
    return false;
  const Bytes copied(files[source->second].bytes.begin(),
                     files[source->second].bytes.begin() +
                         static_cast<std::ptrdiff_t>(length));
  return WriteAt(to, 0, copied) == copied.size();
}

bool MemoryPlatform::Close(FileId file) {
  next_.erase(file);
  return open_.erase(file) == 1;
}

Replaced MemoryPlatform::FindReplaced(const std::string& path,
                                      std::string* final_path) {
  *final_path = path;
  return files.count(path) != 0 ? Replaced::File : Replaced::New;
}

FileId MemoryPlatform::CreateBeside(const std::string& path,
                                    std::string* created_path,
                                    WriteRefusal* /*why*/) {
  *created_path = path + ".new";
  files[*created_path] = File{};
  return Opened(*created_path).id;
}

bool MemoryPlatform::PutInPlace(const std::string& replacement,
                                const std::string& path,
                                WriteRefusal* /*why*/) {
  const auto found = files.find(replacement);
  if (found == files.end())
    return false;
  files[path] = std::move(found->second);
  files.erase(replacement);
  return true;
}

bool MemoryPlatform::RemoveFile(const std::string& path) {
  return files.erase(path) == 1;
}

void MemoryPlatform::ShowErrorBox(const std::string& /*caption*/,
                                  const std::string& message) {
  messages.push_back(message);
}

void MemoryPlatform::ShowNoticeBox(const std::string& /*caption*/,
                                   const std::string& message) {
  messages.push_back(message);
}

}  // namespace mdlReplace
