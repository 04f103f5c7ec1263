# Sourced by the scripts: installs the Debian packages a step needs, if any
# is missing. Usage: need_packages NAME...
need_packages() {
  local missing=()
  local name
  for name in "$@"; do
    dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'ok installed' ||
      missing+=("$name")
  done
  [ "${#missing[@]}" = 0 ] && return 0
  local sudo=
  [ "$(id -u)" = 0 ] || sudo=sudo
  # wine32 is a package of i386: the architecture goes in before the update.
  if [[ " ${missing[*]} " == *" wine32 "* ]] &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  echo "Installing ${missing[*]}"
  $sudo apt-get update -qq || true
  install_packages "${missing[@]}" && return 0
  # A mirror whose i386 lists are out of step with its amd64 ones (it is
  # being synced) cannot give wine32 for a while: the rest is installed,
  # and the 32-bit Wine tests say that they are skipped, and why.
  [[ " ${missing[*]} " == *" wine32 "* ]] || return 1
  echo "wine32 could not be installed; the 32-bit Wine tests will be skipped"
  local others=()
  for name in "${missing[@]}"; do
    [ "$name" = wine32 ] || others+=("$name")
  done
  install_packages "${others[@]}"
}

install_packages() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq \
    --no-install-recommends "$@" >/dev/null
}

# What every build needs: the compiler, GoogleTest, and the PNG (stb) and
# gzip (zlib) libraries linked into the program.
BUILD_PACKAGES=(cmake ninja-build g++ libc6-dev libgtest-dev libstb-dev zlib1g-dev)
# The page: the core for wasm32 with Debian's clang against its wasm32 C
# and C++ libraries; the page tested in Debian's Chromium from Node.
WEB_PACKAGES=(cmake ninja-build clang lld binaryen wasi-libc libc++-dev-wasm32
  libclang-rt-dev-wasm32 libstb-dev python3)
WEB_TEST_PACKAGES=(chromium nodejs)
# Debian's npm is a package of its own; a Node.js from NodeSource carries
# its npm inside, and refuses Debian's.
command -v npm >/dev/null || WEB_TEST_PACKAGES+=(npm)
# The release: its time is the last commit's, asked of git; the package
# checked with lintian, its manual page with groff and man.
RELEASE_PACKAGES=(git lintian groff-base man-db unzip)
# Real fonts that no one here drew (the console's, X's, a pixel TrueType
# font, Wine's Windows fonts, kbd's code-page files, a bitmap OpenType
# font, Spleen's small ones, DejaVu's smooth ones, GNU Unifont's), and the
# peer tools (X's, the console's, Pillow, FontForge, the hex tools,
# ImageMagick, and ots, the check browsers make of a font) that read and
# write the formats the font tools do.
FONT_PACKAGES=(console-setup-linux xfonts-utils xfonts-base pcf2bdf bdf2psf
  python3-pil python3-fonttools fonts-misaki fonts-wine unifont-bin
  imagemagick fontforge console-data fonts-terminus-otb fonts-spleen
  fonts-dejavu-core unifont fonts-unifont opentype-sanitizer)
# What the Windows builds and their tests under Wine need: both compilers
# (the 32-bit one of the win32 thread model), both halves of Wine, and a
# virtual screen to look at a window on (and xclip, to read the text copied
# out of one). wine32 comes from i386, which
# need_packages adds (apt then also brings the amd64 packages that its
# i386 twins need to the same versions).
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 googletest wine64
  libz-mingw-w64-dev g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 wine32
  xvfb xdotool x11-utils imagemagick xclip)

