// The POSIX platform's folders, as the lookup of spelled names sees them.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/helpers_posix.h"
#include "platform/platform_posix.h"

namespace mdlReplace {

namespace {

// A folder that reports a size beyond this is read in growing pieces.
constexpr off_t kListingReserveLimit = off_t{64} * 1024 * 1024;

}  // namespace

bool PosixFolders::Exists(const std::string& path) {
  return EntryExists(path);
}

// The folder's own size is about the bytes its names take, so they go into
// one block that rarely has to move.
void PosixFolders::List(const std::string& folder, FolderNames* names) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr)
    return;
  struct stat info;
  if (fstat(dirfd(dir), &info) == 0 && info.st_size > 0)
    names->Reserve(static_cast<std::size_t>(
        std::min<off_t>(info.st_size, kListingReserveLimit)));
  // One thread only; readdir_r, which the check would have, is deprecated.
  // cppcheck-suppress readdirCalled
  while (const dirent* entry = readdir(dir))
    names->Add(entry->d_name);
  closedir(dir);
}

}  // namespace mdlReplace
