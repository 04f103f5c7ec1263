#!/usr/bin/env bash
# Looks at the Windows program's picture of a font as a person would: runs
# --show under Wine on a virtual X screen, takes a screenshot of its window,
# and checks every magnified pixel of every glyph against the font; then
# closes the window with Esc. Usage: window_test.sh PREFIX zyr2font.exe
# launch.exe
set -u

. "$(dirname "$0")/wine_env.sh" "$1"
. "$(dirname "$0")/test_lib.sh"
cp "$2" "$work/zyr2font.exe"
cp "$3" "$work/launch.exe"

# Wine's desktop belongs to its server: one started without a screen (by
# making the prefix) must end before the program starts on this one.
wineserver=/usr/lib/wine/wineserver
"$wineserver" -k 2>/dev/null
"$wineserver" -w

# A screen of its own, on the first free display number, large enough for
# the window at 200 %.
Xvfb -displayfd 5 -screen 0 2048x1536x24 -nolisten tcp 5>"$work/display" 2>/dev/null &
xvfb=$!
trap '"$wineserver" -k 2>/dev/null; kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
wait_until "Xvfb to name its display" test -s "$work/display" || exit 1
export DISPLAY=":$(cat "$work/display")"

# Whether the picture of the window is the font at a scale, every pixel.
cat >"$work/picture.py" <<'PY'
import sys
from PIL import Image
font = open(sys.argv[1], "rb").read()
expected = int(sys.argv[3])
shot = Image.open(sys.argv[2]).convert("RGB")
width, height = shot.size
pixels = shot.load()
grid = (170, 200, 230)
lines = [(x, y) for y in range(height) for x in range(width) if pixels[x, y] == grid]
left = min(x for x, _ in lines)
top = min(y for _, y in lines)
side = max(x for x, _ in lines) - left + 1
# 16 cells of 8 pixels and 17 grid lines across, each pixel scale wide.
scale, rest = divmod(side, 16 * 9 + 1)
if rest or scale != expected:
    sys.exit(f"the grid is {side} pixels wide: not at a scale of {expected}")
wrong = []
for code in range(256):
    for row in range(8):
        for column in range(8):
            ink = font[code * 8 + row] >> (7 - column) & 1
            x0 = left + (1 + code % 16 * 9 + column) * scale
            y0 = top + (1 + code // 16 * 9 + row) * scale
            block = {pixels[x0 + dx, y0 + dy] for dx in range(scale) for dy in range(scale)}
            if block != {(0, 0, 0) if ink else (255, 255, 255)}:
                wrong.append((code, row, column))
if wrong:
    sys.exit(f"{len(wrong)} pixels differ, the first {wrong[0]}")
print(f"  256 glyphs at {scale}x, every pixel as the font has it")
PY
title="font.fnt - ZYR 2 Font Replacer"
found() {
  window=$(xdotool search --name "^$title\$" 2>/dev/null | head -1)
  [ -n "$window" ]
}
# The picture is looked at once the window has painted it: until then it
# may be blank, or drawn in part.
painted() {
  import -window "$window" shot.png 2>/dev/null &&
    /usr/bin/python3 "$work/picture.py" font.fnt shot.png "$expected" >"$work/picture.log" 2>&1
}

zcat /usr/share/consolefonts/Lat15-VGA8.psf.gz | tail -c +5 | head -c 2048 >"$work/font.fnt"
# At 100 % and at 200 % (LogPixels 192), each font pixel a whole number of
# screen pixels, sharp: 3 and 6.
for setting in "96 3" "192 6"; do
read -r dpi expected <<<"$setting"
begin "--show draws every glyph in a window at $dpi DPI, magnified $expected times, and Esc closes it"
cp "$work/font.fnt" font.fnt
"$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
"$wineserver" -w
ZYR2_COMMAND_LINE="\"$(printf 'Z:%s' "${work//\//\\}")\\zyr2font.exe\" --show font.fnt" \
  timeout "$wait_bound" "$wine" "$work/launch.exe" >/dev/null 2>"$work/wine.log" &
shown=$!
window=
if wait_until "a window titled $title" found; then
  wait_until "the window to show the font" painted
  cat "$work/picture.log"
else
  cat "$work/wine.log"
fi
[ -n "$window" ] && xdotool windowfocus --sync "$window" key --window "$window" Escape
wait "$shown"
status=$?
expect_status 0
cp shot.png "$(dirname "$2")/font-window-$dpi.png"
end
done

# The text of --help and of --check, which a program without a console
# shows in a window: on a screen of 1280x800, each window whole on it (its
# frame and its OK button), and its text, copied with Ctrl+A and Ctrl+C,
# what the program writes to a file, the check's summary first; Esc closes
# it.
"$wineserver" -k 2>/dev/null
"$wineserver" -w
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
: >"$work/display"
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5>"$work/display" 2>/dev/null &
xvfb=$!
wait_until "Xvfb to name its display" test -s "$work/display" || exit 1
export DISPLAY=":$(cat "$work/display")"
"$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
"$wineserver" -w
# A blank font, and a text of 20 letters it has codes for but draws blank
# and 40 that no code page has: lines of each kind, and the summary (and
# no line of a better code page).
head -c 2048 /dev/zero >"$work/letters.fnt"
python3 -c 'import sys; sys.stdout.write("abcdefghijklmnopqrst" + "".join(chr(c) for c in range(0x4E00, 0x4E28)) + "\n")' >"$work/han.txt"
caption="ZYR 2 Font Replacer"
shown_text() {
  window=$(xdotool search --onlyvisible --name "^$caption\$" 2>/dev/null | head -1)
  [ -n "$window" ]
}
clipboard_filled() {
  copied=$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r') && [ -n "$copied" ]
}
for command in "--help" "--check --all letters.fnt han.txt"; do
begin "$command in a window within a 1280x800 screen, its text whole"
cp "$work/letters.fnt" "$work/han.txt" .
# What the program writes where it is told to: the text the window holds.
"$wine" "$work/zyr2font.exe" $command >expected.txt 2>/dev/null
ZYR2_COMMAND_LINE="\"$(printf 'Z:%s' "${work//\//\\}")\\zyr2font.exe\" $command" \
  timeout "$wait_bound" "$wine" "$work/launch.exe" >/dev/null 2>"$work/wine.log" &
shown=$!
window=
# Nothing copied yet: the clipboard read later is this window's.
xclip -selection clipboard </dev/null
if ! wait_until "a window titled $caption" shown_text; then
  cat "$work/wine.log"
else
  read -r left top width height < <(xwininfo -id "$window" |
    awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
      /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}')
  echo "  window of ${width}x$height at $left,$top"
  [ "$left" -ge 0 ] && [ "$top" -ge 0 ] && [ $((left + width)) -le 1280 ] &&
    [ $((top + height)) -le 800 ] || fail "the window is not whole on the screen"
  xdotool windowfocus --sync "$window" key --window "$window" ctrl+a ctrl+c
  copied=
  wait_until "the window's text on the clipboard" clipboard_filled
  expected=$(tr -d '\r' <expected.txt)
  if [ "$command" != --help ]; then
    # The summary, the last line in a file, comes first in a window.
    expected=$(printf '%s\n\n%s' "$(tail -n 1 <<<"$expected")" "$(head -n -1 <<<"$expected")")
  fi
  [ -n "$expected" ] && [ "$copied" = "$expected" ] ||
    fail "the window holds [$(head -c 300 <<<"$copied")], expected [$(head -c 300 <<<"$expected")]"
  xdotool windowfocus --sync "$window" key --window "$window" Escape
fi
wait "$shown"
status=$?
[ "$command" = --help ] && expect_status 0 || expect_status 1
end
done

finish
