# Cross-builds the Windows program with Debian's g++-mingw-w64-x86-64, in
# its POSIX thread flavour (GoogleTest needs std::mutex; the program links
# it statically and so still needs no DLL beyond Windows' own).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
