// Paths as the game's players spell them, found where names have case.
//
// A player writes either slash between names and any case in them, as on
// Windows. Where a file system tells case apart, the spelled path is found
// name by name, each name in its folder: as typed, else in upper case (as
// the game's files are named), else the first entry in byte order that
// equals it but for ASCII case. A name that matches nothing stays as typed,
// so that opening the path then fails as it should.
#pragma once

#include <cstddef>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace mdlReplace {

// The names of one folder's entries, kept for the run's lookups in it.
class FolderNames {
 public:
  // Room for names that take about this many bytes in all, so that a
  // large folder's names rarely move.
  void Reserve(std::size_t bytes);

  // Adds an entry's name. A large folder adds one name per entry, so this
  // stays small enough to go inline into the loop that reads the folder.
  void Add(std::string_view name) {
    if (name.size() > kLongestName)
      return;  // no file system has such names, nor can one be asked for
    if (room_ - used_ < 1 + name.size())
      Grow(1 + name.size());
    char* entry = names_.get() + used_;
    entry[0] = static_cast<char>(name.size());
    std::memcpy(entry + 1, name.data(), name.size());
    used_ += 1 + name.size();
  }

  // The entry that the name finds: the name itself, else the name in upper
  // case, else the first entry in byte order that equals it but for ASCII
  // case; the name as it stands where none does.
  std::string Match(std::string_view name) const;

 private:
  static constexpr std::size_t kLongestName = 255;
  void Grow(std::size_t more);

  // Each name behind its length in a byte: a lookup passes over names of
  // other lengths at once, and most names of a folder are of other lengths.
  std::unique_ptr<char[]> names_;
  std::size_t used_ = 0;
  std::size_t room_ = 0;
};

// What the lookup needs of a file system: paths in the platform's own
// spelling, a folder ending with a separator, or empty for the current one.
class Folders {
 public:
  virtual ~Folders() = default;
  // Whether anything is there under the path: a file, a folder, a link.
  virtual bool Exists(const std::string& path) = 0;
  // Adds the names of the folder's entries; none where it cannot be read.
  virtual void List(const std::string& folder, FolderNames* names) = 0;
};

class SpelledNames {
 public:
  // separator: the one the platform puts between names in its own paths.
  SpelledNames(Folders& folders, char separator)
      : folders_(folders), separator_(separator) {}

  // Calls there with each of the platform's paths that the spelled path
  // may name, in order, until it answers that something is there: the path
  // as typed, where a backslash can be part of a name; else the path found
  // name by name, with the platform's own separator between them. Returns
  // whether something was there.
  bool Find(std::string_view spelled,
            const std::function<bool(const std::string&)>& there);

 private:
  std::string FindByNames(std::string_view spelled);
  std::string FindFolder(std::string_view spelled_folder);
  std::string FindName(const std::string& folder, std::string_view name);

  Folders& folders_;
  char separator_;
  // The folders of a run are few and looked in again and again: each is
  // found once, and listed at most once, and only when a name in it is not
  // there as typed.
  std::map<std::string, std::string, std::less<>> found_folders_;
  std::map<std::string, FolderNames, std::less<>> listings_;
};

// For file systems kept as a list of whole paths (the tests', the page's):
// the name of the entry in the folder that the path lies in or under, or
// empty where it lies elsewhere.
std::string_view NameInFolder(std::string_view path, std::string_view folder);

// Whether the path lies in or under the folder path (without its separator):
// whether that folder is there.
bool LiesUnder(std::string_view path, std::string_view folder);

}  // namespace mdlReplace
