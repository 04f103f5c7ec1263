# Sourced by the Wine tests: a private, headless Wine prefix whose relay
# trace shows each message box. Usage: . wine_env.sh PREFIX
# ZYR2_WINE_MODE says which: 64 or 32, the loader of the programs (a 64-bit
# prefix runs both), or xp, a 32-bit prefix that says it is Windows XP.
mode=${ZYR2_WINE_MODE:-64}
wine=/usr/lib/wine/wine64
[ "$mode" = 64 ] || wine=/usr/lib/wine/wine
export WINEPREFIX=$1
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko prompts
export LC_ALL=C.UTF-8  # command lines in the environment are UTF-8
unset DISPLAY WAYLAND_DISPLAY
if [ "$mode" = xp ]; then
  export WINEARCH=win32
fi
# Wine's 32-bit half is a 32-bit Linux program: where the kernel runs none
# (some virtual machines' kernels refuse them all), or runs them only
# through an emulator (about a minute a Wine start), the test says so and
# is skipped.
if [ "$mode" != 64 ]; then
  if ! "$wine" --version >/dev/null 2>&1; then
    echo "skipped: this machine runs no 32-bit program: $("$wine" --version 2>&1 | head -1)"
    exit 77
  fi
  if grep -qs '^interpreter .*qemu-i386' /proc/sys/fs/binfmt_misc/*; then
    echo "skipped: this machine runs 32-bit programs only through qemu-i386"
    exit 77
  fi
fi
# A prefix made before Wine's 32-bit half was installed cannot run 32-bit
# programs: it is made anew whenever the loaders here change.
ready="$mode $(ls /usr/lib/wine)"
if [ "$(cat "$WINEPREFIX/.ready" 2>/dev/null)" != "$ready" ]; then
  rm -rf "$WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ \
    /d user32.MessageBoxW /f >/dev/null 2>&1
  [ "$mode" = xp ] && "$wine" winecfg -v winxp >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
  echo "$ready" >"$WINEPREFIX/.ready"
fi
