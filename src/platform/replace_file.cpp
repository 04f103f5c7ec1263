#include "platform/replace_file.h"

namespace mdlReplace {

Replacement ReplaceFile(Replacer& replacer, const std::string& path,
                        const std::function<bool(FileId)>& fill) {
  WriteRefusal why;
  return ReplaceFile(replacer, path, fill, &why);
}

Replacement ReplaceFile(Replacer& replacer, const std::string& path,
                        const std::function<bool(FileId)>& fill,
                        WriteRefusal* why) {
  std::string final_path;
  switch (replacer.FindReplaced(path, &final_path)) {
    case Replaced::NotAFile:
      return Replacement::NotAFile;
    case Replaced::DanglingLink:
      return Replacement::DanglingLink;
    case Replaced::File:
    case Replaced::New:
      break;
  }
  std::string copy_path;
  const FileId copy = replacer.CreateBeside(final_path, &copy_path, why);
  if (copy == kNoFile)
    return Replacement::Failed;
  const bool written = fill(copy) && replacer.Flush(copy);
  if (!written)
    why->reason = replacer.WriteFailure();
  const bool closed = replacer.Close(copy);
  if (written && closed && replacer.PutInPlace(copy_path, final_path, why))
    return Replacement::Done;
  replacer.RemoveFile(copy_path);
  return Replacement::Failed;
}

}  // namespace mdlReplace
