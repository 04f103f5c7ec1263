# Sourced by the scripts: how each kind of build is configured, said once,
# so that a folder one script built is the one the next reuses as it is.
# Usage: configure FOLDER KIND [CMAKE_OPTIONS...], where KIND is
#   linux, win64, win32  the programs as they are released, with -Os;
#   sanitized            clang with AddressSanitizer and
#                        UndefinedBehaviorSanitizer, the tests and the
#                        fuzzers built of the same objects;
#   coverage             gcc's gcov, unoptimised.
# Each has its tests unless the options say otherwise, and the options
# name every setting that shapes it, whatever the folder held before.
configure() {
  local folder=$1 kind=$2
  shift 2
  local options compilers=()
  case $kind in
    linux) options=(-DCMAKE_BUILD_TYPE=Release) ;;
    win64)
      options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake)
      ;;
    win32)
      options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake)
      ;;
    sanitized)
      compilers=(CC=clang CXX=clang++)
      options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DZYR2_SANITIZE=ON -DZYR2_FUZZ=ON)
      ;;
    coverage) options=(-DCMAKE_BUILD_TYPE=Debug -DZYR2_COVERAGE=ON) ;;
    *)
      echo "configure: no build of the kind $kind" >&2
      return 1
      ;;
  esac
  # The project's defaults, each said, then the kind's own settings, then
  # the caller's: of two settings of one name, the later holds.
  env "${compilers[@]}" cmake -S . -B "$folder" -G Ninja --no-warn-unused-cli \
    -DZYR2_WERROR=ON -DZYR2_TESTS=ON -DZYR2_STATIC=ON -DZYR2_SANITIZE=OFF \
    -DZYR2_FUZZ=OFF -DZYR2_COVERAGE=OFF "${options[@]}" "$@" >/dev/null
}
