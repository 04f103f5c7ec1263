// Output and message boxes on Windows.
#include <windows.h>

#include "platform/helpers_win32.h"
#include "platform/platform_win32.h"

namespace mdlReplace {

namespace {

// Each line ending with carriage return and line feed, as Windows shows
// text.
std::string WithCrLf(const std::string& text) {
  std::string converted;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
      converted += '\r';
    converted += text[i];
  }
  return converted;
}

}  // namespace

void Win32Platform::ShowErrorBox(const std::string& caption,
                                 const std::string& message) {
  MessageBoxW(nullptr, Wide(message).c_str(), Wide(caption).c_str(),
              MB_OK | MB_ICONERROR);
}

void Win32Platform::ShowNoticeBox(const std::string& caption,
                                  const std::string& message) {
  MessageBoxW(nullptr, Wide(message).c_str(), Wide(caption).c_str(),
              MB_OK | MB_ICONINFORMATION);
}

// A program without a console of its own writes where it was told to: a
// file, a pipe, or a console whose handle it was given. Started from
// Explorer, a shortcut or a prompt (which gives it none, and does not wait
// for it), it shows a window or a box instead: text written into the
// prompt's console would come after the prompt is back.
void Win32Platform::FindOutput() {
  if (output_kind_ != OutputKind::Unknown)
    return;
  const HANDLE standard = GetStdHandle(STD_OUTPUT_HANDLE);
  const DWORD type = standard == nullptr || standard == INVALID_HANDLE_VALUE
                         ? FILE_TYPE_UNKNOWN
                         : GetFileType(standard);
  DWORD console_mode = 0;
  if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) {
    output_kind_ = OutputKind::Stream;
    output_ = standard;
  } else if (type == FILE_TYPE_CHAR &&
             GetConsoleMode(standard, &console_mode)) {
    output_kind_ = OutputKind::Console;
    output_ = standard;
  } else {
    output_kind_ = OutputKind::Box;
  }
}

Drawing Win32Platform::OutputDrawing() {
  FindOutput();
  switch (output_kind_) {
    case OutputKind::Console:
      return GetConsoleOutputCP() == CP_UTF8 ? Drawing::Blocks : Drawing::Ascii;
    case OutputKind::Stream:
      return GetACP() == CP_UTF8 ? Drawing::Blocks : Drawing::Ascii;
    case OutputKind::Box:
    case OutputKind::Unknown:
      break;
  }
  return Drawing::Picture;
}

Output Win32Platform::PrintOutput(const std::string& caption,
                                  const std::string& text) {
  FindOutput();
  const std::string lines = WithCrLf(text);
  if (output_kind_ == OutputKind::Console) {
    const std::wstring wide = Wide(lines);
    DWORD written = 0;
    return WriteConsoleW(output_, wide.data(), static_cast<DWORD>(wide.size()),
                         &written, nullptr) &&
                   written == wide.size()
               ? Output::Shown
               : Output::Failed;
  }
  if (output_kind_ == OutputKind::Stream) {
    DWORD written = 0;
    if (WriteFile(output_, lines.data(), static_cast<DWORD>(lines.size()),
                  &written, nullptr) &&
        written == lines.size())
      return Output::Shown;
    const DWORD error = GetLastError();
    return error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE
               ? Output::ReaderGone
               : Output::Failed;
  }
  // A box where no window can be had, which shows the text all the same.
  if (!ShowText(caption, lines))
    MessageBoxW(nullptr, Wide(lines).c_str(), Wide(caption).c_str(),
                MB_OK | MB_ICONINFORMATION);
  return Output::Shown;
}

}  // namespace mdlReplace
