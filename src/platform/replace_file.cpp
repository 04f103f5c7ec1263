#include "platform/replace_file.h"

namespace mdlReplace {

bool ReplaceFile(Platform& platform, const std::string& path,
                 const std::function<bool(FileId)>& fill) {
  std::string copy_path;
  const FileId copy = platform.CreateBeside(path, &copy_path);
  if (copy == kNoFile)
    return false;
  const bool written = fill(copy) && platform.Flush(copy);
  const bool closed = platform.Close(copy);
  if (written && closed && platform.PutInPlace(copy_path, path))
    return true;
  platform.RemoveFile(copy_path);
  return false;
}

}  // namespace mdlReplace
