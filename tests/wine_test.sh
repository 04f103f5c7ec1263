#!/usr/bin/env bash
# Runs the Windows program under Wine on real files in a temporary folder,
# with exact command lines, and reads its message boxes from Wine's relay
# trace. Usage: wine_test.sh PREFIX PATH/TO/zyr2font.exe PATH/TO/launch.exe
set -u

tests_dir=$(cd "$(dirname "$0")" && pwd)
. "$(dirname "$0")/wine_env.sh" "$1"
. "$(dirname "$0")/test_lib.sh"
mkdir "$work/bin"
cp "$2" "$work/bin/zyr2font.exe"
cp "$3" "$work/bin/launch.exe"
program=$work/bin/zyr2font.exe

# The Windows name of a Linux path, on Wine's drive Z:.
windows_path() {
  printf 'Z:%s' "${1//\//\\}"
}

# box TEXT: a message box as the relay trace shows it: its text (line breaks
# as \r\n), its caption, and its flags (MB_OK | MB_ICONERROR).
box() {
  printf '%s|ZYR 2 Font Replacer|00000010' "$1"
}

# notice_box TEXT: a box of information (MB_OK | MB_ICONINFORMATION).
notice_box() {
  printf '%s|ZYR 2 Font Replacer|00000040' "$1"
}

summary_box=$(box 'None of the game files were found or processed.\r\nMake sure you specified the right path, and you have a supported version of ZYR 2.\r\n\r\nFor a list of supported versions, check the README.TXT file.')
incorrect_box=$(box 'Incorrect parameter format')

# launch_line LINE: runs the exact command line LINE; keeps the exit status
# and the message boxes, one a line. Runs under the command wine_as names,
# where it names one (another user, a namespace of its own).
wine_as=()
launch_line() {
  ZYR2_COMMAND_LINE=$1 WINEDEBUG=-all,+relay \
    timeout "$wait_bound" "${wine_as[@]}" "$wine" "$work/bin/launch.exe" >/dev/null 2>"$case_dir/.trace"
  status=$?
  # Where the program did not start, the launcher's word of why.
  grep -a '^launch: ' "$case_dir/.trace" | sed 's/^/  /'
  boxes=$(grep -a 'Call user32.MessageBoxW(' "$case_dir/.trace" |
    sed 's/.*MessageBoxW([0-9a-f]*,[0-9a-f]* L"\(.*\)",[0-9a-f]* L"\(.*\)",\([0-9a-f]*\)) ret=.*/\1|\2|\3/')
}

# launch EXE TEXT: runs the program EXE with the exact command line
# "EXE" TEXT.
launch() {
  launch_line "\"$(windows_path "$1")\" $2"
}

run() {
  launch "$program" "$1"
}

expect_boxes() {
  [ "$boxes" = "$1" ] ||
    fail "boxes were [$boxes], expected [$1]; the trace ends [$(tail -c 400 "$case_dir/.trace" | tr '\n' ' ')]"
}

# A path as the trace shows it in a box: its backslashes doubled.
shown_path() {
  windows_path "$1" | sed 's/\\/\\\\/g'
}

# The three targets of a known version in FOLDER, and the font expected in
# each once patched.
make_game() {
  make_file "$1/ZYR2.DOS" 928799
  make_file "$1/ZYR2.EXE" 615936
  make_file "$1/BRANVEL.EXE" 597504
}

expect_game_patched() {
  expect_patched "$1/ZYR2.DOS" 881700 "$2"
  expect_patched "$1/ZYR2.EXE" 513588 "$2"
  expect_patched "$1/BRANVEL.EXE" 497968 "$2"
}

expect_game_unchanged() {
  expect_unchanged "$1/ZYR2.DOS"
  expect_unchanged "$1/ZYR2.EXE"
  expect_unchanged "$1/BRANVEL.EXE"
}

# drive PREFIX LETTER FOLDER: the drive LETTER: of the prefix is FOLDER, as
# a player's CD drive or a short path makes it.
drive() {
  ln -sfn "$3" "$1/dosdevices/$2:"
}

# as_nobody: the runs that follow are the user nobody's, in a prefix of its
# own, made once with the trace of message boxes: root may write any file.
nobody_prefix=$work/nobody/prefix
nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups
  env HOME="$work/nobody" WINEPREFIX="$nobody_prefix")
as_nobody() {
  if [ ! -d "$nobody_prefix" ]; then
    mkdir -p "$work/nobody"
    chown nobody:nogroup "$work/nobody"
    "${nobody[@]}" "$wine" wineboot --init >/dev/null 2>&1
    "${nobody[@]}" "$wine" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude \
      /t REG_SZ /d user32.MessageBoxW /f >/dev/null 2>&1
    # Made when its server, and every program the boot started, has ended.
    "${nobody[@]}" /usr/lib/wine/wineserver -w
  fi
  wine_as=("${nobody[@]}")
}

# The command a box says to paste into a Command Prompt started as
# administrator: its last line, as typed.
pasted_command() {
  printf '%s' "${boxes%%|*}" | sed 's/.*\\r\\n//; s/\\"/"/g; s/\\\\/\\/g'
}

begin "three targets"
make_font game/ZYR2.FNT
make_file game/ZYR2.DOS 945979
make_file game/ZYR2.EXE 616448
make_file game/BRANVEL.EXE 597504
run "\"$(windows_path "$case_dir/game")\""
expect_status 0
expect_boxes ""
expect_patched game/ZYR2.DOS 899108 game/ZYR2.FNT
expect_patched game/ZYR2.EXE 514100 game/ZYR2.FNT
expect_patched game/BRANVEL.EXE 497968 game/ZYR2.FNT
end

begin "unknown length, then the summary"
make_font game/ZYR2.FNT
make_file game/ZYR2.DOS 1000000
run "\"$(windows_path "$case_dir/game")\""
expect_status 1
expect_boxes "$(box 'ZYR2.DOS File size: 1000000\r\nMaybe it'"'"'s a different version of the game.')
$summary_box"
expect_unchanged game/ZYR2.DOS
end

begin "a folder without its closing quote loses its last character"
make_font game/ZYR2.FNT
make_file game/ZYR2.EXE 597504
run "\"$(windows_path "$case_dir/game")x"
expect_status 0
expect_boxes ""
expect_patched game/ZYR2.EXE 497968 game/ZYR2.FNT
end

begin "the character lost without a closing quote may be any letter"
make_font game/ZYR2.FNT
make_file game/ZYR2.EXE 616448
run "\"$(windows_path "$case_dir/game")ä"
expect_status 0
expect_boxes ""
expect_patched game/ZYR2.EXE 514100 game/ZYR2.FNT
end

begin "two blanks make one parameter with inner quotes"
make_font my.fnt
make_file game/ZYR2.EXE 597504
run "\"$(windows_path "$case_dir/my.fnt")\"  \"$(windows_path "$case_dir/game")\""
expect_status 1
expect_boxes "$(box 'Font file not found')"
expect_unchanged game/ZYR2.EXE
end

begin "malformed command lines"
make_font my.fnt
for text in "/a:\"$(windows_path "$case_dir/my.fnt")\"" '"' '/A:"' 'game'; do
  run "$text"
  expect_status 1
  expect_boxes "$incorrect_box"
done
run '"a" "b" "c"'
expect_boxes "$(box 'Too many parameters')"
end

begin "a font or a folder dropped on the program, started as Explorer starts it, from elsewhere"
zcat /usr/share/consolefonts/Lat15-VGA8.psf.gz | tail -c +5 | head -c 2048 >real.fnt
mkdir -p "fonts/my fonts" elsewhere tool
cp real.fnt fonts/my.fnt
cp real.fnt "fonts/my fonts/cyr font.fnt"
cp /usr/share/consolefonts/Lat15-VGA8.psf.gz fonts/
# A sheet of 2048 bytes: dropped, read as a sheet.
/usr/bin/python3 "$tests_dir/sheet_of_2048.py" real.fnt fonts/sheet.png
run "--convert \"$(windows_path "$case_dir/real.fnt")\" \"$(windows_path "$case_dir/fonts/font.png")\""
cp "$program" tool/zyr2font.exe
make_file elsewhere/ZYR2.EXE 615936  # the current folder holds no game
# GAME FOLDER (the program's), DROPPED PATH, QUOTED: each patches the three
# targets beside the program with the console font.
n=0
for row in "ZYR2|fonts/my.fnt|no" "ZYR2|fonts/my fonts/cyr font.fnt|yes" \
  "Игры/ZYR2|fonts/my.fnt|no" "ZYR2|fonts/font.png|no" \
  "ZYR2|fonts/Lat15-VGA8.psf.gz|no" "ZYR2|fonts/sheet.png|no" "ZYR2||no" \
  "ZYR 2||yes"; do
  IFS='|' read -r game dropped quoted <<<"$row"
  n=$((n + 1))
  game="row$n/$game"
  make_file "$game/ZYR2.DOS" 928799
  make_file "$game/ZYR2.EXE" 615936
  make_file "$game/BRANVEL.EXE" 597504
  if [ -n "$dropped" ]; then
    cp "$program" "$game/zyr2font.exe"
    exe=$game/zyr2font.exe
    text=$(windows_path "$case_dir/$dropped")
  else  # a folder dropped on a program elsewhere (Explorer quotes one
    # with a blank): the game folder
    cp real.fnt "$game/ZYR2.FNT"
    exe=tool/zyr2font.exe
    text=$(windows_path "$case_dir/$game")
  fi
  [ "$quoted" = yes ] && text="\"$text\""
  cd elsewhere
  launch "$case_dir/$exe" "$text"
  cd ..
  expect_status 0
  expect_boxes ""
  expect_patched "$game/ZYR2.DOS" 881700 real.fnt
  expect_patched "$game/ZYR2.EXE" 513588 real.fnt
  expect_patched "$game/BRANVEL.EXE" 497968 real.fnt
done
# Typed with the game folder, as players always typed it, a file of 2048
# bytes is a raw font, whatever it begins like.
make_game typed
run "\"$(windows_path "$case_dir/fonts/sheet.png")\" \"$(windows_path "$case_dir/typed")\""
expect_status 0
expect_boxes ""
expect_game_patched typed fonts/sheet.png
# Beside a program with no game, where it looked and what to do; the
# current folder's game is not the one.
cd elsewhere
launch "$case_dir/tool/zyr2font.exe" "$(windows_path "$case_dir/fonts/my.fnt")"
cd ..
expect_status 1
expect_boxes "$(box "The game's files are not in $(shown_path "$case_dir/tool"), where zyr2font.exe is. Put zyr2font.exe in the game's folder and drop the font on it there, or drop the font and the game folder together.")"
expect_unchanged elsewhere/ZYR2.EXE
end

begin "a game file dropped patches its own game with its own ZYR2.FNT, never gives its font"
make_font my.fnt
make_font other.fnt
make_game game
cp my.fnt game/ZYR2.FNT
cp "$program" game/zyr2font.exe
make_game "other copy"
cp other.fnt "other copy/ZYR2.FNT"
make_game bare
# ZYR2.EXE, dropped on the program beside it; another copy's, quoted, and
# in lower case; a copy with no font beside it, and none in the program.
launch "$case_dir/game/zyr2font.exe" "$(windows_path "$case_dir/game/ZYR2.EXE")"
expect_status 0
expect_boxes ""
expect_game_patched game my.fnt
for target in ZYR2.DOS ZYR2.EXE BRANVEL.EXE; do cp "game/$target" "game/$target.orig"; done
launch "$case_dir/game/zyr2font.exe" "\"$(windows_path "$case_dir/other copy/zyr2.exe")\""
expect_status 0
expect_boxes ""
expect_game_patched "other copy" other.fnt
expect_game_unchanged game
# A ZYR2.FNT beside the game file dropped that is no font is named, and
# what to do, after the message the typed forms give.
make_game bad
make_font bad/ZYR2.FNT 2047
launch "$case_dir/game/zyr2font.exe" "$(windows_path "$case_dir/bad/ZYR2.EXE")"
expect_status 1
expect_boxes "$(box "Font is not 8x8, or is compressed\r\nThe font was $(shown_path "$case_dir/bad")\\\\ZYR2.FNT, beside the game's files: drop your font and the game folder together, or save your font over it.")"
expect_game_unchanged bad
# On a drive of its own (Q:), so that the trace shows the box whole.
drive "$WINEPREFIX" q "$case_dir/bare"
launch "$case_dir/game/zyr2font.exe" 'Q:\BRANVEL.EXE'
rm -f "$WINEPREFIX/dosdevices/q:"
expect_status 1
expect_boxes "$(box "BRANVEL.EXE is one of the game's files, not a font: dropped on zyr2font.exe, it patches its game with the ZYR2.FNT beside it, or else the font attached to the program, and there is neither (no Q:\\\\ZYR2.FNT). Drop the font itself, or the font and the game folder together.")"
expect_game_unchanged bare
# A game folder with a blank, quoted as Explorer drops it: without a
# ZYR2.FNT, and with an empty one, where it looked and what to do.
make_game "zyr 2"
launch "$case_dir/game/zyr2font.exe" "\"$(windows_path "$case_dir/zyr 2")\""
expect_status 1
expect_boxes "$(box "Font file not found\r\nThe font was looked for as $(shown_path "$case_dir/zyr 2")\\\\ZYR2.FNT, beside the game's files: drop your font and the game folder together, or save your font there under that name.")"
: >"zyr 2/ZYR2.FNT"
launch "$case_dir/game/zyr2font.exe" "\"$(windows_path "$case_dir/zyr 2")\""
expect_status 1
expect_boxes "$(box "Font is not 8x8, or is compressed\r\nThe font was $(shown_path "$case_dir/zyr 2")\\\\ZYR2.FNT, beside the game's files: drop your font and the game folder together, or save your font over it.")"
expect_game_unchanged "zyr 2"
expect_game_unchanged game
end

begin "a font and the game folder dropped together, in either order, quoted where they hold blanks"
make_font my.fnt
make_font other.fnt
mkdir -p "my fonts"
cp my.fnt "my fonts/cyr font.fnt"
mkdir tool
cp "$program" tool/zyr2font.exe
font=$(windows_path "$case_dir/my.fnt")
blank_font="\"$(windows_path "$case_dir/my fonts/cyr font.fnt")\""
n=0
for row in "font game" "game font" "blank_font game" "game blank_font" \
  "blank_font blank_game" "blank_game blank_font" "font game_file"; do
  n=$((n + 1))
  game="row$n/ZYR 2"
  make_game "$game"
  quoted_game="\"$(windows_path "$case_dir/$game")\""
  bare_game=row$n/zyr2
  mkdir -p "$bare_game"
  ln -s "$case_dir/$game/"* "$bare_game/"
  read -r first second <<<"$row"
  text=
  for part in $first $second; do
    case $part in
      font) part=$font ;;
      blank_font) part=$blank_font ;;
      game) part=$(windows_path "$case_dir/$bare_game") ;;
      blank_game) part=$quoted_game ;;
      game_file) part=$(windows_path "$case_dir/$bare_game/ZYR2.DOS") ;;
    esac
    text="$text${text:+ }$part"
  done
  launch "$case_dir/tool/zyr2font.exe" "$text"
  expect_status 0
  expect_boxes ""
  expect_game_patched "$game" my.fnt
done
end

begin "several files dropped at once, or a shortcut, or a program: one box that says what to drop"
make_font my.fnt
make_font other.fnt
make_game game
cp "$program" game/zyr2font.exe
mkdir -p "my fonts"
cp my.fnt "my fonts/cyr font.fnt"
cp other.fnt "my fonts/lat font.fnt"
# A shortcut's first bytes, and the size of one.
{ printf 'L\0\0\0\001\024\002\0'; head -c 1500 /dev/zero; } >"my fonts/my font.lnk"
several=$(box 'Several files were dropped at once: drop one font at a time on zyr2font.exe, or one font and the game folder together.')
for text in "$(windows_path "$case_dir/my.fnt") $(windows_path "$case_dir/other.fnt")" \
  "\"$(windows_path "$case_dir/my fonts/cyr font.fnt")\" \"$(windows_path "$case_dir/my fonts/lat font.fnt")\"" \
  "$(windows_path "$case_dir/game") $(windows_path "$case_dir/my.fnt") $(windows_path "$case_dir/other.fnt")"; do
  launch "$case_dir/game/zyr2font.exe" "$text"
  expect_status 1
  expect_boxes "$several"
done
launch "$case_dir/game/zyr2font.exe" "\"$(windows_path "$case_dir/my fonts/my font.lnk")\""
expect_status 1
expect_boxes "$(box "$(shown_path "$case_dir/my fonts/my font.lnk") is a shortcut: drop the font itself.")"
launch "$case_dir/game/zyr2font.exe" "$(windows_path "$case_dir/game/zyr2font.exe")"
expect_status 1
expect_boxes "$(box "$(shown_path "$case_dir/game/zyr2font.exe") is a program, not a font: drop the font itself.")"
expect_game_unchanged game
# Dropped with a game folder, both holding a blank, they come quoted, in
# the form players always typed: named all the same.
make_game "zyr 2"
for dropped in "my fonts/my font.lnk|is a shortcut" "game/zyr2font.exe|is a program, not a font"; do
  IFS='|' read -r font what <<<"$dropped"
  launch "$case_dir/game/zyr2font.exe" "\"$(windows_path "$case_dir/$font")\" \"$(windows_path "$case_dir/zyr 2")\""
  expect_status 1
  expect_boxes "$(box "$(shown_path "$case_dir/$font") $what: drop the font itself.")"
done
expect_game_unchanged "zyr 2"
end

begin "a read-only game file: the box says so, and the others are patched"
make_font game/ZYR2.FNT
make_file game/ZYR2.EXE 597504
make_file game/BRANVEL.EXE 616448
"$wine" attrib +r "$(windows_path "$case_dir/game/ZYR2.EXE")" >/dev/null 2>&1
chmod 666 game/BRANVEL.EXE
# Root writes a read-only file all the same, as an administrator would not.
[ "$(id -u)" = 0 ] && as_nobody
run "\"$(windows_path "$case_dir/game")\""
wine_as=()
expect_status 0
expect_boxes "$(box 'ZYR2.EXE could not be written.\r\nZYR2.EXE is read-only: clear Read-only in its Properties.')"
expect_unchanged game/ZYR2.EXE
expect_patched game/BRANVEL.EXE 514100 game/ZYR2.FNT
end

begin "a game on a disc: a read-only folder mounted as a drive; no summary after the files found"
make_font game/ZYR2.FNT
make_game game
namespace=(unshare -rm)
[ "$(id -u)" = 0 ] && namespace=(unshare -m)
if "${namespace[@]}" true 2>/dev/null; then
  # The drive R: is the game folder, made read-only in a mount namespace of
  # the run's own, and a CD drive by Wine's settings; the server that opens
  # the files runs in that namespace too, and ends there.
  drive "$WINEPREFIX" r "$case_dir/game"
  # Wine's own settings, in a 64-bit prefix, are in its 64-bit view.
  view=()
  [ "$mode" = 32 ] && view=(/reg:64)
  "$wine" reg add 'HKLM\Software\Wine\Drives' /v r: /t REG_SZ /d cdrom /f \
    "${view[@]}" >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
  wine_as=("${namespace[@]}" sh -c 'mount --bind "$0" "$0" && mount -o remount,ro,bind "$0" &&
    { "$@"; status=$?; /usr/lib/wine/wineserver -w; exit $status; }' "$case_dir/game")
  run '"R:\"'
  wine_as=()
  "$wine" reg delete 'HKLM\Software\Wine\Drives' /v r: /f "${view[@]}" >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
  rm "$WINEPREFIX/dosdevices/r:"
  expect_status 1
  on_disc='NAME could not be written.\r\nNAME is on a disc or a drive that cannot be written: copy its folder to the hard disk and use the copy.'
  expect_boxes "$(box "${on_disc//NAME/ZYR2.DOS}")
$(box "${on_disc//NAME/ZYR2.EXE}")
$(box "${on_disc//NAME/BRANVEL.EXE}")"
  expect_game_unchanged game
else
  echo "  (skipped: no mount namespace here, for a read-only folder)"
fi
end

begin "a game file in use, as by the running game: the box says so"
make_font game/ZYR2.FNT
make_game game
ZYR2_HOLD=$(windows_path "$case_dir/game/ZYR2.EXE") run "\"$(windows_path "$case_dir/game")\""
expect_status 0
expect_boxes "$(box 'ZYR2.EXE could not be written.\r\nZYR2.EXE is in use by another program, as when the game is running: close it, then try again.')"
expect_unchanged game/ZYR2.EXE
expect_patched game/ZYR2.DOS 881700 game/ZYR2.FNT
expect_patched game/BRANVEL.EXE 497968 game/ZYR2.FNT
end

begin "a write denied: the command the box gives, pasted into cmd /c as administrator, patches"
# Under Wine every process is elevated. Started with the limited token
# linked to the launcher's, as Explorer starts a program for an
# administrator, the program offers the command; elevated, it says that
# Windows refuses even an administrator, and offers none.
if [ "$(id -u)" = 0 ]; then
  make_font my.fnt
  make_game game
  # Short drives, so that the trace shows each box whole: P: the program's,
  # F: the font's, G: the game's, for nobody and for root alike.
  for prefix in "$WINEPREFIX" "$nobody_prefix"; do
    [ "$prefix" = "$nobody_prefix" ] && as_nobody
    drive "$prefix" p "$work/bin"
    drive "$prefix" f "$case_dir"
    drive "$prefix" g "$case_dir/game"
  done
  launch_line '"P:\zyr2font.exe" "F:\my.fnt" "G:\"'
  expect_status 1
  refused='NAME could not be written.\r\nWindows does not allow even an administrator to change NAME: see who may change it on the Security tab of its Properties, or copy the game'"'"'s folder to a folder of your own and patch the copy.'
  expect_boxes "$(box "${refused//NAME/ZYR2.DOS}")
$(box "${refused//NAME/ZYR2.EXE}")
$(box "${refused//NAME/BRANVEL.EXE}")"
  ZYR2_LIMITED=1 launch_line '"P:\zyr2font.exe" "F:\my.fnt" "G:\"'
  wine_as=()
  limited=yes
  if [ "$status" = 124 ]; then
    limited=no
    echo "  (Wine gives no limited token: every run is elevated, so no command is offered to paste)"
  else
    echo "  (Wine gives a limited token: the command offered is pasted)"
    expect_status 1
    denied='NAME could not be written.\r\nWindows does not allow you to change NAME. Start the program as administrator: right-click Command Prompt, choose \"Run as administrator\", and paste there:\r\n\"P:\\zyr2font.exe\" \"F:\\my.fnt\" \"G:\\\"'
    # The way to an administrator once: its command patches all three.
    expect_boxes "$(box "${denied//NAME/ZYR2.DOS}")
$(box 'ZYR2.EXE could not be written.\r\nYou may not change ZYR2.EXE: its permissions do not allow it.')
$(box 'BRANVEL.EXE could not be written.\r\nYou may not change BRANVEL.EXE: its permissions do not allow it.')"
  fi
  expect_game_unchanged game
  if [ "$limited" = yes ]; then
    command=$(pasted_command)
    [ "$command" = '"P:\zyr2font.exe" "F:\my.fnt" "G:\"' ] || fail "the command to paste is [$command]"
    launch_line "cmd /c \"$command\""
    expect_status 0
    expect_boxes ""
    expect_game_patched game my.fnt
  fi
  # Attaching, refused in the program's folder, and by the command.
  mkdir tool
  cp "$program" tool/zyr2font.exe
  cp tool/zyr2font.exe tool/zyr2font.exe.orig
  as_nobody
  drive "$nobody_prefix" p "$case_dir/tool"
  drive "$WINEPREFIX" p "$case_dir/tool"
  launch_line '"P:\zyr2font.exe" /A:"F:\my.fnt"'
  expect_status 1
  expect_boxes "$(box 'The font could not be attached to the program'"'"'s executable file.\r\nWindows does not allow even an administrator to write in P:\\: see who may change it on the Security tab of its Properties, or copy zyr2font.exe to a folder of your own and attach the font to the copy.')"
  if [ "$limited" = yes ]; then
    ZYR2_LIMITED=1 launch_line '"P:\zyr2font.exe" /A:"F:\my.fnt"'
    expect_status 1
    expect_boxes "$(box 'The font could not be attached to the program'"'"'s executable file.\r\nWindows does not allow you to write in P:\\. Start the program as administrator: right-click Command Prompt, choose \"Run as administrator\", and paste there:\r\n\"P:\\zyr2font.exe\" /A:\"F:\\my.fnt\"')"
  fi
  wine_as=()
  expect_unchanged tool/zyr2font.exe
  if [ "$limited" = yes ]; then
    launch_line "cmd /c \"$(pasted_command)\""
    expect_status 0
    cmp -s <(tail -c 2048 tool/zyr2font.exe) my.fnt || fail "the command attached no font"
  fi
  for prefix in "$WINEPREFIX" "$nobody_prefix"; do
    rm -f "$prefix/dosdevices/p:" "$prefix/dosdevices/f:" "$prefix/dosdevices/g:"
  done
else
  echo "  (skipped: only root can run the program as another user, who may not write)"
fi
end

begin "attach to a read-only program: the box says so"
mkdir tool
cp "$program" tool/zyr2font.exe
cp tool/zyr2font.exe tool/zyr2font.exe.orig
make_font my.fnt
"$wine" attrib +r "$(windows_path "$case_dir/tool/zyr2font.exe")" >/dev/null 2>&1
launch "$case_dir/tool/zyr2font.exe" "/A:\"$(windows_path "$case_dir/my.fnt")\""
expect_status 1
expect_boxes "$(box 'The font could not be attached to the program'"'"'s executable file.\r\nzyr2font.exe is read-only: clear Read-only in its Properties.')"
expect_unchanged tool/zyr2font.exe
end

begin "attach to a program held open: in use, and not by the game"
mkdir tool
cp "$program" tool/zyr2font.exe
cp tool/zyr2font.exe tool/zyr2font.exe.orig
make_font my.fnt
ZYR2_HOLD=$(windows_path "$case_dir/tool/zyr2font.exe") \
  launch "$case_dir/tool/zyr2font.exe" "/A:\"$(windows_path "$case_dir/my.fnt")\""
expect_status 1
expect_boxes "$(box 'The font could not be attached to the program'"'"'s executable file.\r\nzyr2font.exe is in use by another program: close it, then try again.')"
expect_unchanged tool/zyr2font.exe
end

begin "a font placed by a code page, dropped: the game patched, then how many codes got a glyph"
misaki=/usr/share/fonts/truetype/misaki/misaki_gothic.ttf
run "--convert \"$(windows_path "$misaki")\" \"$(windows_path "$case_dir/misaki.fnt")\""
make_game game
cp "$program" game/zyr2font.exe
launch "$case_dir/game/zyr2font.exe" "$(windows_path "$misaki")"
expect_status 0
expect_boxes "$(notice_box "$(shown_path "$misaki"): 154 of 256 codes have a glyph in code page 437.")"
expect_game_patched game misaki.fnt
end

begin "hidden and system targets are skipped; a hidden font is read"
make_font game/ZYR2.FNT
make_file game/ZYR2.DOS 928799
make_file game/ZYR2.EXE 597504
make_file game/BRANVEL.EXE 615936
"$wine" attrib +h "$(windows_path "$case_dir/game/ZYR2.FNT")" >/dev/null 2>&1
"$wine" attrib +h "$(windows_path "$case_dir/game/ZYR2.EXE")" >/dev/null 2>&1
"$wine" attrib +s "$(windows_path "$case_dir/game/BRANVEL.EXE")" >/dev/null 2>&1
run "\"$(windows_path "$case_dir/game")\""
expect_status 0
expect_boxes ""
expect_patched game/ZYR2.DOS 881700 game/ZYR2.FNT
expect_unchanged game/ZYR2.EXE
expect_unchanged game/BRANVEL.EXE
end

begin "names match whatever their case"
make_font Game/zyr2.fnt
make_file Game/zyr2.exe 615936
run "\"$(windows_path "$case_dir/gAME")\""
expect_status 0
expect_boxes ""
expect_patched Game/zyr2.exe 513588 Game/zyr2.fnt
end

begin "a path longer than MAX_PATH is not found, cleanly"
long=$(printf 'folder%.0s' $(seq 1 60))
run "\"$(windows_path "$case_dir/$long")\""
expect_status 1
expect_boxes "$(box 'Font file not found')"
end

begin "attach to the running program, then run without arguments"
mkdir tool
cp "$program" tool/zyr2font.exe
cp tool/zyr2font.exe tool/zyr2font.exe.orig
make_font my.fnt
launch "$case_dir/tool/zyr2font.exe" "/A:\"$(windows_path "$case_dir/my.fnt")\""
expect_status 0
expect_boxes ""
[ "$(stat -c %s tool/zyr2font.exe)" = $(($(stat -c %s "$program") + 2056)) ] ||
  fail "the program did not grow by 2056 bytes"
cmp -s <(tail -c 2048 tool/zyr2font.exe) my.fnt || fail "the program carries another font"
make_file game/ZYR2.EXE 597504
cd game
launch "$case_dir/tool/zyr2font.exe" ""
cd ..
expect_status 0
expect_boxes ""
expect_patched game/ZYR2.EXE 497968 my.fnt
# The game folder dropped: its own ZYR2.FNT, or else the font the program
# carries; quoted for its blank, it is also the typed form, whose font is
# its ZYR2.FNT alone.
make_game zyr2
launch "$case_dir/tool/zyr2font.exe" "$(windows_path "$case_dir/zyr2")"
expect_status 0
expect_boxes ""
expect_game_patched zyr2 my.fnt
make_game "zyr 2"
launch "$case_dir/tool/zyr2font.exe" "\"$(windows_path "$case_dir/zyr 2")\""
expect_status 1
expect_boxes "$(box "Font file not found\r\nThe font was looked for as $(shown_path "$case_dir/zyr 2")\\\\ZYR2.FNT, beside the game's files: drop your font and the game folder together, or save your font there under that name.")"
expect_game_unchanged "zyr 2"
make_font other.fnt
cp other.fnt "zyr 2/ZYR2.FNT"
launch "$case_dir/tool/zyr2font.exe" "\"$(windows_path "$case_dir/zyr 2")\""
expect_status 0
expect_boxes ""
expect_game_patched "zyr 2" other.fnt
leftovers=$(ls -A tool | grep -v -x -e zyr2font.exe -e zyr2font.exe.orig)
[ -z "$leftovers" ] || fail "left in tool/: $leftovers"
end

begin "the copy is a new file: a user's file linked under a fixed name is left alone"
mkdir tool
cp "$program" tool/zyr2font.exe
make_file mine.txt 5000
# The names a copy and a moved-aside program once had.
ln mine.txt tool/zyr2font.exe.new
make_file tool/zyr2font.exe.old 3000
make_font my.fnt
launch "$case_dir/tool/zyr2font.exe" "/A:\"$(windows_path "$case_dir/my.fnt")\""
expect_status 0
cmp -s <(tail -c 2048 tool/zyr2font.exe) my.fnt || fail "the program carries another font"
launch "$case_dir/tool/zyr2font.exe" "/A:\"$(windows_path "$case_dir/my.fnt")\""
launch "$case_dir/tool/zyr2font.exe" ""
expect_unchanged mine.txt
expect_unchanged tool/zyr2font.exe.old
leftovers=$(ls -A tool | grep -v -x -e zyr2font.exe -e zyr2font.exe.new -e zyr2font.exe.old -e zyr2font.exe.old.orig)
[ -z "$leftovers" ] || fail "left in tool/: $leftovers"
end

begin "font tools: the font out of a game file and out of a program"
make_file game/ZYR2.EXE 615936
run "--convert \"$(windows_path "$case_dir/game/ZYR2.EXE")\" \"$(windows_path "$case_dir/original.fnt")\""
expect_status 0
expect_boxes ""
cmp -s original.fnt <(tail -c +513589 game/ZYR2.EXE | head -c 2048) ||
  fail "original.fnt is not the game's font"
mkdir tool
cp "$program" tool/zyr2font.exe
make_font my.fnt
launch "$case_dir/tool/zyr2font.exe" "/A:\"$(windows_path "$case_dir/my.fnt")\""
# Out of the translator's program, as text, and back.
run "--convert \"$(windows_path "$case_dir/tool/zyr2font.exe")\" \"$(windows_path "$case_dir/mine.txt")\""
expect_status 0
run "--convert \"$(windows_path "$case_dir/mine.txt")\" \"$(windows_path "$case_dir/back.fnt")\""
expect_status 0
cmp -s my.fnt back.fnt || fail "the attached font did not come out"
# Its output redirected, --show writes the glyphs as text, and --help too;
# started as from Explorer or a prompt, --help shows a window
# (window_test.sh looks at it), or, where none can be shown, as on Wine
# without a screen, a box (whose long text the trace cuts short) with
# MB_ICONINFORMATION.
ZYR2_STDOUT=$(windows_path "$case_dir/shown.txt") run "--show \"$(windows_path "$case_dir/back.fnt")\""
expect_status 0
expect_boxes ""
[ "$(grep -c '^0x[0-9A-F][0-9A-F] ' shown.txt)" = 32 ] || fail "no glyphs written: $(head -3 shown.txt)"
run "--help"
expect_status 0
grep -q 'MessageBoxW(00000000,[0-9a-f]* L"Usage: zyr2font.*L"ZYR 2 Font Replacer",00000040)' \
  "$case_dir/.trace" || fail "no box of usage: [$boxes]"
# Only a text that begins with "--" names a command, as on Linux.
run "-h"
expect_status 1
expect_boxes "$incorrect_box"
run "--convert \"$(windows_path "$case_dir/my.fnt")\" \"$(windows_path "$case_dir/game/ZYR2.EXE")\""
expect_status 1
expect_unchanged game/ZYR2.EXE
end

begin "font tools: a folder as DEST is refused, and a long DEST name is written"
make_font my.fnt
mkdir album.png
make_file album.png/inside 10
run "--convert \"$(windows_path "$case_dir/my.fnt")\" \"$(windows_path "$case_dir/album.png")\""
expect_status 1
# The trace shows a backslash doubled.
folder=$(windows_path "$case_dir/album.png")
expect_boxes "$(box "${folder//\\/\\\\} could not be written.")"
[ -d album.png ] && [ "$(ls -A album.png | tr '\n' ' ')" = "inside inside.orig " ] ||
  fail "the folder was changed"
long=$(printf 'x%.0s' $(seq 1 236)).fnt
run "--convert \"$(windows_path "$case_dir/my.fnt")\" \"$(windows_path "$case_dir/$long")\""
expect_status 0
cmp -s my.fnt "$long" || fail "a name of 240 characters was not written"
[ -z "$(ls -A | grep zyr2font)" ] || fail "left: $(ls -A | grep zyr2font)"
end

begin "font tools: a pixel TrueType font and Windows' own fonts are read"
misaki=/usr/share/fonts/truetype/misaki/misaki_gothic.ttf
/usr/bin/python3 "$tests_dir/freetype_ascii.py" "$misaki" freetype.fnt
run "--convert \"$(windows_path "$misaki")\" \"$(windows_path "$case_dir/out.fnt")\""
expect_status 0
# How many codes got a glyph is information, not an error.
grep -q 'MessageBoxW(00000000,[0-9a-f]* L".*misaki_gothic.ttf: 154 of 256 codes have a glyph in code page 437.",[0-9a-f]* L"ZYR 2 Font Replacer",00000040)' \
  "$case_dir/.trace" || fail "no notice of the codes: [$boxes]"
cmp -s <(tail -c +257 out.fnt | head -c 760) <(tail -c +257 freetype.fnt | head -c 760) ||
  fail "Misaki reads other than FreeType draws it"
fon=/usr/share/wine/fonts/sserife.fon
run "--show \"$(windows_path "$fon")\""
expect_status 1
expect_boxes "$(box "$(windows_path "$fon" | sed 's/\\/\\\\/g') is a Windows font file of 11x13, 14x16 and 16x20 glyphs, none 8x8.")"
end

begin "no attached font"
make_file game/ZYR2.EXE 597504
cd game
run ""
cd ..
expect_status 1
expect_boxes "$(box "The program's executable file doesn't contain the font\r\nThe font was looked for as $(shown_path "$case_dir/game")\\\\ZYR2.FNT: drop your font on zyr2font.exe, or save it as ZYR2.FNT beside the game's ZYR2.EXE and start zyr2font.exe there.")"
# A folder in the font's place is named for what it is.
mkdir game/ZYR2.FNT
cd game
run ""
cd ..
expect_status 1
expect_boxes "$(box "The program's executable file doesn't contain the font\r\n$(shown_path "$case_dir/game")\\\\ZYR2.FNT is a folder, not a font: drop your font on zyr2font.exe.")"
expect_unchanged game/ZYR2.EXE
end

# The user nobody's server ends before its prefix goes.
[ -d "$nobody_prefix" ] && "${nobody[@]}" /usr/lib/wine/wineserver -w
finish
