# Cross-builds the 32-bit Windows program, for Windows XP SP3 and later,
# with Debian's g++-mingw-w64-i686-win32: the win32 thread flavour, whose
# runtime, linked statically, imports nothing newer than XP has (the POSIX
# flavour's winpthreads needs Vista's GetTickCount64). It has no
# std::mutex, so GoogleTest is not built with it; the program's tests under
# Wine are.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
