// Text the user asked for, in a window of its own where the program has no
// console: a message box grows with its text past the bottom of the
// screen, its OK button with it, and wraps a usage's columns in its
// proportional font. This window fits the screen, scrolls, keeps columns
// in a fixed-width font, and its text can be selected and copied.
#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/helpers_win32.h"
#include "platform/platform_win32.h"

namespace mdlReplace {

namespace {

constexpr wchar_t kTextClass[] = L"ZYR2FontText";
constexpr wchar_t kEditClass[] = L"EDIT";
constexpr wchar_t kButtonClass[] = L"BUTTON";
constexpr wchar_t kOk[] = L"OK";
// A fixed-width face every Windows from XP on has; the font mapper finds
// the nearest fixed-width one where it is missing.
constexpr wchar_t kFixedFace[] = L"Lucida Console";
constexpr int kPointSize = 10;
constexpr int kPointsPerInch = 72;
// At 96 DPI: the space around the text and the button, and the button.
constexpr int kMargin = 8;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
// The window takes at most this share of the screen's work area, in
// percent, so that its frame and its button are always on the screen.
constexpr int kScreenShare = 90;

struct TextWindow {
  HWND edit = nullptr;
  HWND ok = nullptr;
  int margin = kMargin;
  int button_width = kButtonWidth;
  int button_height = kButtonHeight;
};

// The one text window a run shows, for its window's procedure.
TextWindow* g_text = nullptr;

void LayOut(HWND window) {
  if (g_text == nullptr || g_text->edit == nullptr || g_text->ok == nullptr)
    return;
  RECT client;
  GetClientRect(window, &client);
  const int margin = g_text->margin;
  const int button_top = client.bottom - margin - g_text->button_height;
  MoveWindow(g_text->edit, 0, 0, client.right, std::max(0, button_top - margin),
             TRUE);
  MoveWindow(g_text->ok, client.right - margin - g_text->button_width,
             button_top, g_text->button_width, g_text->button_height, TRUE);
}

LRESULT CALLBACK TextWindowProc(HWND window, UINT message, WPARAM wparam,
                                LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      LayOut(window);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)
        DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

HFONT FixedFont(int dpi) {
  LOGFONTW face{};
  face.lfHeight = -MulDiv(kPointSize, dpi, kPointsPerInch);
  face.lfWeight = FW_NORMAL;
  face.lfCharSet = DEFAULT_CHARSET;
  face.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  std::copy(std::begin(kFixedFace), std::end(kFixedFace), face.lfFaceName);
  return CreateFontIndirectW(&face);
}

// The size of the text in the font: its widest line, and all its lines.
SIZE TextExtent(HFONT font, const std::wstring& text) {
  SIZE extent{0, 0};
  const HDC dc = GetDC(nullptr);
  if (dc == nullptr)
    return extent;
  const HGDIOBJ before = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  std::size_t start = 0;
  int lines = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos)
      end = text.size();
    SIZE line{0, 0};
    if (end > start)
      GetTextExtentPoint32W(dc, text.data() + start,
                            static_cast<int>(end - start), &line);
    extent.cx = std::max<LONG>(extent.cx, line.cx);
    ++lines;
    start = end + 2;
  }
  // A last line break ends the last line, and begins none.
  if (text.size() >= 2 && text.ends_with(L"\r\n"))
    --lines;
  extent.cy = lines * metrics.tmHeight;
  SelectObject(dc, before);
  ReleaseDC(nullptr, dc);
  return extent;
}

// The window's frame around the text and the button, within the work area
// and centred in it.
RECT Frame(const SIZE& text, const TextWindow& shown, DWORD style,
           DWORD ex_style) {
  const int edge = 2 * GetSystemMetrics(SM_CXEDGE);
  RECT frame = {
      0, 0, text.cx + edge + GetSystemMetrics(SM_CXVSCROLL) + 2 * shown.margin,
      text.cy + edge + GetSystemMetrics(SM_CYHSCROLL) + 3 * shown.margin +
          shown.button_height};
  frame.right =
      std::max<LONG>(frame.right, shown.button_width + 2 * shown.margin);
  AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN),
               GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int work_width = work.right - work.left;
  const int work_height = work.bottom - work.top;
  const int width =
      std::min<int>(frame.right - frame.left, work_width * kScreenShare / 100);
  const int height =
      std::min<int>(frame.bottom - frame.top, work_height * kScreenShare / 100);
  const int left = work.left + (work_width - width) / 2;
  const int top = work.top + (work_height - height) / 2;
  return RECT{left, top, left + width, top + height};
}

// Keys the window answers wherever its focus is: Esc and Enter close it,
// Ctrl+A selects the whole text, Ctrl+C with nothing selected copies it all.
bool AnswerKey(HWND window, const MSG& message) {
  if (message.message != WM_KEYDOWN || g_text == nullptr)
    return false;
  if (message.wParam == VK_ESCAPE || message.wParam == VK_RETURN) {
    DestroyWindow(window);
    return true;
  }
  if (GetKeyState(VK_CONTROL) >= 0)
    return false;
  if (message.wParam == 'A') {
    SetFocus(g_text->edit);
    SendMessageW(g_text->edit, EM_SETSEL, 0, -1);
    return true;
  }
  if (message.wParam == 'C') {
    DWORD first = 0;
    DWORD last = 0;
    SendMessageW(g_text->edit, EM_GETSEL, reinterpret_cast<WPARAM>(&first),
                 reinterpret_cast<LPARAM>(&last));
    if (first == last)
      SendMessageW(g_text->edit, EM_SETSEL, 0, -1);
    SendMessageW(g_text->edit, WM_COPY, 0, 0);
    return true;
  }
  return false;
}

}  // namespace

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr)
    ReleaseDC(nullptr, screen);
  return std::max(dpi, kPlainDpi);
}

bool Win32Platform::ShowText(const std::string& title,
                             const std::string& text) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = TextWindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(kArrowCursor));
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = kTextClass;
  if (RegisterClassW(&window_class) == 0)
    return false;
  const int dpi = ScreenDpi();
  const HFONT font = FixedFont(dpi);
  if (font == nullptr)
    return false;
  TextWindow shown;
  shown.margin = MulDiv(kMargin, dpi, kPlainDpi);
  shown.button_width = MulDiv(kButtonWidth, dpi, kPlainDpi);
  shown.button_height = MulDiv(kButtonHeight, dpi, kPlainDpi);
  const std::wstring wide = Wide(text);
  const DWORD style = WS_OVERLAPPEDWINDOW;
  const RECT frame = Frame(TextExtent(font, wide), shown, style, 0);
  const HWND window = CreateWindowExW(
      0, kTextClass, Wide(title).c_str(), style, frame.left, frame.top,
      frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
      instance, nullptr);
  if (window == nullptr) {
    DeleteObject(font);
    return false;
  }
  shown.edit = CreateWindowExW(WS_EX_CLIENTEDGE, kEditClass, L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL |
                                   ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL |
                                   ES_AUTOHSCROLL,
                               0, 0, 0, 0, window, nullptr, instance, nullptr);
  shown.ok = CreateWindowExW(
      0, kButtonClass, kOk,
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0, window,
      reinterpret_cast<HMENU>(IDOK), instance, nullptr);
  if (shown.edit == nullptr || shown.ok == nullptr) {
    DestroyWindow(window);
    DeleteObject(font);
    return false;
  }
  g_text = &shown;
  SendMessageW(shown.edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  // A multi-line edit holds 32K characters unless told it may hold more.
  SendMessageW(shown.edit, EM_SETLIMITTEXT, 0, 0);
  SetWindowTextW(shown.edit, wide.c_str());
  LayOut(window);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  SetFocus(shown.edit);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (AnswerKey(window, message))
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  g_text = nullptr;
  DeleteObject(font);
  return true;
}

}  // namespace mdlReplace
