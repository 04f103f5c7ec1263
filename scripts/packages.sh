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
  echo "Installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq \
    --no-install-recommends "${missing[@]}" >/dev/null
}

# What every build needs: the compiler, GoogleTest, and the PNG (stb) and
# gzip (zlib) libraries linked into the program.
BUILD_PACKAGES=(cmake ninja-build g++ libc6-dev libgtest-dev libstb-dev zlib1g-dev)
# Real fonts that no one here drew, and the peer tools (X's, the console's,
# Pillow) that read and write the formats the font tools do.
FONT_PACKAGES=(console-setup-linux xfonts-utils pcf2bdf bdf2psf python3-pil)
# What the Windows build and its tests under Wine need.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 googletest wine64
  libz-mingw-w64-dev)
