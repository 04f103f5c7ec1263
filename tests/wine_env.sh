# Sourced by the Wine tests: a private, headless Wine prefix whose relay
# trace shows each message box. Usage: . wine_env.sh PREFIX
wine=/usr/lib/wine/wine64
export WINEPREFIX=$1
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko prompts
export LC_ALL=C.UTF-8  # command lines in the environment are UTF-8
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/.ready" ]; then
  rm -rf "$WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ \
    /d user32.MessageBoxW /f >/dev/null 2>&1
  touch "$WINEPREFIX/.ready"
fi
