#include "base/spelled_names.h"

#include <algorithm>

#include "base/names.h"

namespace mdlReplace {

namespace {

// Entries that stand for a folder itself or the one above it, and the empty
// name before a leading separator: each means the same in any case.
bool IsFixedName(std::string_view name) {
  return name.empty() || name == "." || name == "..";
}

}  // namespace

void FolderNames::Reserve(std::size_t bytes) {
  if (bytes > room_ - used_)
    Grow(bytes - (room_ - used_));
}

void FolderNames::Grow(std::size_t more) {
  const std::size_t room = std::max(room_ * 2, used_ + more);
  // Left unfilled: only what Add writes is ever read.
  std::unique_ptr<char[]> names(new char[room]);
  if (used_ != 0)
    std::memcpy(names.get(), names_.get(), used_);
  names_ = std::move(names);
  room_ = room;
}

std::string FolderNames::Match(std::string_view name) const {
  std::string upper = AsciiUpperCase(name);
  bool upper_found = false;
  std::string_view any_case;
  for (std::size_t at = 0; at < used_;) {
    const std::size_t length = static_cast<unsigned char>(names_[at]);
    const std::string_view entry(names_.get() + at + 1, length);
    at += 1 + length;
    if (length != name.size())
      continue;
    if (entry == name)
      return std::string(name);
    if (entry == upper)
      upper_found = true;
    else if (EqualIgnoringAsciiCase(entry, name) &&
             (any_case.data() == nullptr || entry < any_case))
      any_case = entry;
  }
  if (upper_found)
    return upper;
  return std::string(any_case.data() == nullptr ? name : any_case);
}

bool SpelledNames::Find(std::string_view spelled,
                        const std::function<bool(const std::string&)>& there) {
  const std::string typed(spelled);
  if (there(typed))
    return true;
  // Most often every name is there as typed, and one call finds the path
  // that the walk from name to name would.
  std::string separated = typed;
  std::replace_if(
      separated.begin(), separated.end(),
      [](char c) { return kEitherSlash.find(c) != std::string_view::npos; },
      separator_);
  if (separated != typed && there(separated))
    return true;
  const std::string found = FindByNames(spelled);
  return found != typed && found != separated && there(found);
}

std::string SpelledNames::FindByNames(std::string_view spelled) {
  const std::string_view spelled_folder = FolderOf(spelled);
  const std::string folder = FindFolder(spelled_folder);
  return folder + FindName(folder, spelled.substr(spelled_folder.size()));
}

std::string SpelledNames::FindFolder(std::string_view spelled_folder) {
  const auto known = found_folders_.find(spelled_folder);
  if (known != found_folders_.end())
    return known->second;
  std::string folder;
  std::size_t start = 0;
  for (std::size_t end = spelled_folder.find_first_of(kEitherSlash);
       end != std::string_view::npos;
       end = spelled_folder.find_first_of(kEitherSlash, start)) {
    folder += FindName(folder, spelled_folder.substr(start, end - start));
    folder += separator_;
    start = end + 1;
  }
  found_folders_.emplace(spelled_folder, folder);
  return folder;
}

// The entry that the name stands for in the folder. The folder is read only
// when the name is not there as typed, and then once a run.
std::string SpelledNames::FindName(const std::string& folder,
                                   std::string_view name) {
  if (IsFixedName(name))
    return std::string(name);
  auto listing = listings_.find(folder);
  if (listing == listings_.end()) {
    std::string typed = folder;
    typed += name;
    if (folders_.Exists(typed))
      return std::string(name);
    listing = listings_.emplace(folder, FolderNames()).first;
    folders_.List(folder, &listing->second);
  }
  return listing->second.Match(name);
}

std::string_view NameInFolder(std::string_view path, std::string_view folder) {
  if (path.size() <= folder.size() || !path.starts_with(folder))
    return std::string_view();
  const std::string_view rest = path.substr(folder.size());
  return rest.substr(0, rest.find_first_of(kEitherSlash));
}

bool LiesUnder(std::string_view path, std::string_view folder) {
  return path == folder ||
         (path.size() > folder.size() && path.starts_with(folder) &&
          kEitherSlash.find(path[folder.size()]) != std::string_view::npos);
}

}  // namespace mdlReplace
