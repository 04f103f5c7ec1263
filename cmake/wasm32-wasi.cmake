# A build for the browser: WebAssembly for wasm32-wasi with Debian's clang,
# against the C and C++ libraries Debian builds for it (packages wasi-libc,
# libc++-dev-wasm32 and libclang-rt-dev-wasm32; lld links).
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
# Debian puts wasi-libc's headers and libraries under /usr, by target.
set(CMAKE_SYSROOT /usr)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
