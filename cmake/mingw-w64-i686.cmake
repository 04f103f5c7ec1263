# Cross-builds the 32-bit Windows program, for Windows XP SP3 and later,
# with Debian's g++-mingw-w64-i686-win32: the win32 thread flavour, whose
# runtime, linked statically, imports nothing newer than XP has (the POSIX
# flavour's winpthreads needs Vista's GetTickCount64). It has no
# std::mutex, so GoogleTest is not built with it; the program's tests under
# Wine are.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLE i686-w64-mingw32)
set(MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
