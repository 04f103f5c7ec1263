// The picture of a font in a window of its own, magnified by whole screen
// pixels.
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "platform/helpers_win32.h"
#include "platform/platform_win32.h"

namespace mdlReplace {

namespace {

// The picture's colours on the screen, by PictureColour: white paper, black
// ink, light blue grid lines, dark blue labels.
constexpr std::array<RGBQUAD, 4> kPictureColours = {{
    {255, 255, 255, 0},
    {0, 0, 0, 0},
    {230, 200, 170, 0},
    {128, 40, 0, 0},
}};
constexpr wchar_t kPictureClass[] = L"ZYR2FontPicture";
// Each pixel of the picture this many screen pixels on a side at 96 DPI,
// and as many more as a whole number as the screen has more DPI; fewer on
// a screen too small for it, but never fewer than kSmallestScale's share.
constexpr int kLargestScale = 3;
constexpr int kSmallestScale = 2;

// What the window draws, rows padded to whole DWORDs, bottom-up as a DIB.
struct PictureWindow {
  const Picture* picture = nullptr;
  int scale = kSmallestScale;
  std::vector<std::uint8_t> rows;
  struct {
    BITMAPINFOHEADER header;
    std::array<RGBQUAD, kPictureColours.size()> colours;
  } info{};
};

// The one picture a run shows, for its window's procedure.
const PictureWindow* g_shown = nullptr;

LRESULT CALLBACK PictureWindowProc(HWND window, UINT message, WPARAM wparam,
                                   LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(window, &paint);
      if (g_shown != nullptr) {
        const Picture& picture = *g_shown->picture;
        StretchDIBits(dc, 0, 0, picture.width * g_shown->scale,
                      picture.height * g_shown->scale, 0, 0, picture.width,
                      picture.height, g_shown->rows.data(),
                      reinterpret_cast<const BITMAPINFO*>(&g_shown->info),
                      DIB_RGB_COLORS, SRCCOPY);
      }
      EndPaint(window, &paint);
      return 0;
    }
    case WM_KEYDOWN:
      if (wparam == VK_ESCAPE || wparam == VK_RETURN)
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

void PrepareBitmap(const Picture& picture, PictureWindow* shown) {
  const std::size_t stride =
      (static_cast<std::size_t>(picture.width) + 3) & ~std::size_t{3};
  shown->rows.assign(stride * static_cast<std::size_t>(picture.height), 0);
  for (int y = 0; y < picture.height; ++y) {
    const std::size_t from =
        static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width);
    const std::size_t to =
        static_cast<std::size_t>(picture.height - 1 - y) * stride;
    std::copy_n(picture.pixels.begin() + static_cast<std::ptrdiff_t>(from),
                picture.width,
                shown->rows.begin() + static_cast<std::ptrdiff_t>(to));
  }
  BITMAPINFOHEADER& header = shown->info.header;
  header.biSize = sizeof(header);
  header.biWidth = picture.width;
  header.biHeight = picture.height;
  header.biPlanes = 1;
  header.biBitCount = 8;
  header.biCompression = BI_RGB;
  header.biClrUsed = kPictureColours.size();
  shown->info.colours = kPictureColours;
}

// The whole number of screen pixels a picture pixel takes on a side, by
// the screen's DPI: 3 at 100 %, 4 at 150 %, 6 at 200 %, and less where the
// screen is too small for the window.
int PictureScale(const Picture& picture) {
  const int per_plain = ScreenDpi();
  const int smallest = std::max(1, kSmallestScale * per_plain / kPlainDpi);
  int scale = std::max(smallest, kLargestScale * per_plain / kPlainDpi);
  const int frame = GetSystemMetrics(SM_CYCAPTION) * 2;
  while (scale > smallest &&
         picture.height * scale + frame > GetSystemMetrics(SM_CYSCREEN))
    --scale;
  return scale;
}

}  // namespace

bool Win32Platform::ShowPicture(const std::string& title,
                                const Picture& picture) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = PictureWindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(kArrowCursor));
  // No background brush: the picture covers the whole window.
  window_class.lpszClassName = kPictureClass;
  if (RegisterClassW(&window_class) == 0)
    return false;
  PictureWindow shown;
  shown.picture = &picture;
  shown.scale = PictureScale(picture);
  PrepareBitmap(picture, &shown);
  g_shown = &shown;
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame = {0, 0, picture.width * shown.scale,
                picture.height * shown.scale};
  AdjustWindowRect(&frame, style, FALSE);
  const HWND window = CreateWindowExW(
      0, kPictureClass, Wide(title).c_str(), style, CW_USEDEFAULT,
      CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
      nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    g_shown = nullptr;
    return false;
  }
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  g_shown = nullptr;
  return true;
}

}  // namespace mdlReplace
