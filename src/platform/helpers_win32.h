// What the Windows platform's files share among themselves; nothing outside
// src/platform/*_win32.cpp includes it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace mdlReplace {

// program_win32.cpp

// Text between the program's UTF-8 and Windows' UTF-16.
std::wstring Wide(const std::string& text);
std::string Narrow(const std::wstring& text);

// The folders of the UTF-8 path, as a Windows path, by the one rule for
// folders (base/names.h).
std::wstring WideFolderOf(const std::string& path);

// The path of the program's own executable; empty where it cannot be had.
std::wstring ModulePath();

// files_win32.cpp

// Where a read, write or lock at the offset begins.
OVERLAPPED At(std::uint64_t offset);

// Why writing the path was refused with the error, by what Windows says of
// the path and of its drive; attributes are the path's.
Refusal WhyRefused(DWORD error, const std::wstring& path, DWORD attributes);

// What Windows says of the error, in the user's language, on one line.
std::string SystemWords(DWORD error);

// text_window_win32.cpp

// The DPI a window is laid out at as 100 %.
constexpr int kPlainDpi = 96;
// IDC_ARROW, whose macro is of the narrow kind here.
constexpr WORD kArrowCursor = 32512;

// The screen's DPI (the program declares itself aware of it, so Windows
// does not stretch its windows), never less than kPlainDpi.
int ScreenDpi();

// replace_win32.cpp

// Removes what earlier runs left in the folder under names of the
// program's own.
void RemoveLeftovers(const std::wstring& folder);

}  // namespace mdlReplace
