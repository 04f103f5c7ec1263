// Output and messages on a terminal.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/names.h"
#include "platform/platform_posix.h"

namespace mdlReplace {

namespace {

bool NamesUtf8(const char* value) {
  std::string upper = AsciiUpperCase(value);
  return upper.find("UTF-8") != std::string::npos ||
         upper.find("UTF8") != std::string::npos;
}

}  // namespace

// On a terminal a notice is a line on standard error, as an error is.
void PosixPlatform::ShowNoticeBox(const std::string& caption,
                                  const std::string& message) {
  ShowErrorBox(caption, message);
}

void PosixPlatform::ShowErrorBox(const std::string& caption,
                                 const std::string& message) {
  // No box on a terminal: the caption and the message on standard error,
  // each line break of the message as a plain line feed.
  std::string text = caption + ": ";
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message[i] == '\r' && i + 1 < message.size() && message[i + 1] == '\n')
      continue;
    text += message[i];
  }
  text += '\n';
  // A short message goes out in one piece; should stderr be closed there is
  // nowhere else to tell, and the exit status still does.
  const ssize_t ignored = write(STDERR_FILENO, text.data(), text.size());
  static_cast<void>(ignored);
}

Drawing PosixPlatform::OutputDrawing() {
  // The locale's character set, as the C library would find it.
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != '\0')
      return NamesUtf8(value) ? Drawing::Blocks : Drawing::Ascii;
  }
  return Drawing::Ascii;
}

Output PosixPlatform::PrintOutput(const std::string& /*caption*/,
                                  const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t put =
        write(STDOUT_FILENO, text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR)
      continue;
    if (put < 0 && errno == EPIPE)
      return Output::ReaderGone;
    if (put <= 0)
      return Output::Failed;
    done += static_cast<std::size_t>(put);
  }
  return Output::Shown;
}

bool PosixPlatform::ShowPicture(const std::string& /*title*/,
                                const Picture& /*picture*/) {
  return false;  // a terminal shows text
}

}  // namespace mdlReplace
