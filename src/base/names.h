// Names as the program compares and splits them: case is ASCII case only,
// and a folder ends where the path's own rule says.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace mdlReplace {

inline char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string AsciiUpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    c = AsciiUpper(c);
  return upper;
}

inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
      return false;
  }
  return true;
}

// What ends a folder's name in a path. The game's players write either
// slash, as Windows reads paths; a POSIX system's own paths have only the
// slash, and a backslash there is part of a name.
constexpr std::string_view kEitherSlash = "/\\";
constexpr std::string_view kSlashOnly = "/";

// The path's folders, up to and with the separator after the last; empty
// for a bare name.
inline std::string_view FolderOf(std::string_view path,
                                 std::string_view separators = kEitherSlash) {
  const std::size_t separator = path.find_last_of(separators);
  return separator == std::string_view::npos ? std::string_view()
                                             : path.substr(0, separator + 1);
}

// The path's folders as a user is shown them: without the separator after
// the last, unless that is the root ("C:\", "/").
inline std::string_view ShownFolderOf(
    std::string_view path, std::string_view separators = kEitherSlash) {
  const std::string_view folder = FolderOf(path, separators);
  if (folder.size() <= 1 || folder[folder.size() - 2] == ':')
    return folder;
  return folder.substr(0, folder.size() - 1);
}

// The folder as a path in it begins: ending with the platform's separator,
// added only where none is. An empty folder becomes the separator alone,
// the root.
inline std::string FolderWithSeparator(std::string folder, char separator) {
  if (folder.empty() || folder.back() != separator)
    folder += separator;
  return folder;
}

// A game folder as a player types or drops it, ending with the platform's
// separator: a backslash at its end ends it on every platform, as it does
// on Windows, and where the platform's separator is another it becomes that
// one, so that no game file is asked for with a backslash in its name.
inline std::string GivenFolder(std::string folder, char separator) {
  if (!folder.empty() && folder.back() == '\\')
    folder.back() = separator;
  return FolderWithSeparator(std::move(folder), separator);
}

// The path of the name in the folder, joined by the platform's separator.
inline std::string PathInFolder(std::string_view folder, std::string_view name,
                                char separator) {
  return FolderWithSeparator(std::string(folder), separator) +
         std::string(name);
}

// The name after the path's last folder.
inline std::string_view FileNameOf(std::string_view path,
                                   std::string_view separators = kEitherSlash) {
  const std::size_t separator = path.find_last_of(separators);
  return separator == std::string_view::npos ? path
                                             : path.substr(separator + 1);
}

}  // namespace mdlReplace
