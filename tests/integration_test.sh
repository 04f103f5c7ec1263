#!/usr/bin/env bash
# Runs the built program on real files in a temporary folder.
# Usage: integration_test.sh PATH/TO/zyr2font
set -u

program_source=$1
tests_dir=$(cd "$(dirname "$0")" && pwd)
. "$tests_dir/test_lib.sh"
# A copy that an unprivileged user can run too.
mkdir "$work/bin"
cp "$program_source" "$work/bin/zyr2font"
chmod 755 "$work/bin" "$work/bin/zyr2font"
program=$work/bin/zyr2font
# A sanitized build checks for leaks through /proc and without a tracer,
# and needs far more address space than the program.
sanitized=${ZYR2_SANITIZED:-0}
[ "$sanitized" = 1 ] && export ASAN_OPTIONS=detect_leaks=0

# run_as USER PROGRAM ARGS...: runs within the bound as the user ("" for
# this one), keeping status and stderr.
run_as() {
  local user=$1
  shift
  if [ -n "$user" ] && [ "$(id -u)" = 0 ]; then
    setpriv --reuid="$user" --regid=nogroup --clear-groups \
      timeout "$wait_bound" "$@" >"$case_dir/.out" 2>"$case_dir/.err"
  else
    timeout "$wait_bound" "$@" >"$case_dir/.out" 2>"$case_dir/.err"
  fi
  status=$?
  errors=$(cat "$case_dir/.err")
}

run() {
  run_as "" "$program" "$@"
}

# The nine known versions: target, length, offset.
versions=(
  "ZYR2.DOS 928799 881700" "ZYR2.DOS 945979 899108" "ZYR2.DOS 946491 899620"
  "ZYR2.EXE 597504 497968" "ZYR2.EXE 615936 513588" "ZYR2.EXE 616448 514100"
  "BRANVEL.EXE 597504 497968" "BRANVEL.EXE 615936 513588"
  "BRANVEL.EXE 616448 514100"
)

for round in 0 1 2; do
  begin "three targets, version set $round"
  make_font game/ZYR2.FNT
  for target in 0 3 6; do
    read -r name length offset <<<"${versions[target + round]}"
    make_file "game/$name" "$length"
  done
  run "$case_dir/game"
  expect_status 0
  expect_errors ""
  for target in 0 3 6; do
    read -r name length offset <<<"${versions[target + round]}"
    expect_patched "game/$name" "$offset" game/ZYR2.FNT
    [ "$(stat -c %s "game/$name")" = "$length" ] || fail "$name changed length"
  done
  end
done

begin "patching twice writes the same bytes"
make_font game/ZYR2.FNT
make_file game/ZYR2.EXE 615936
run "$case_dir/game"
run "$case_dir/game"
expect_status 0
expect_patched game/ZYR2.EXE 513588 game/ZYR2.FNT
end

begin "unknown length"
make_font game/ZYR2.FNT
make_file game/ZYR2.DOS 1000000
run "$case_dir/game"
expect_status 1
expect_errors "${caption}ZYR2.DOS File size: 1000000
Maybe it's a different version of the game.
$summary"
expect_unchanged game/ZYR2.DOS
end

begin "unknown length beside a patched target"
make_font game/ZYR2.FNT
make_file game/ZYR2.EXE 12345
make_file game/BRANVEL.EXE 597504
run "$case_dir/game"
expect_status 0
expect_errors "${caption}ZYR2.EXE File size: 12345
Maybe it's a different version of the game."
expect_unchanged game/ZYR2.EXE
expect_patched game/BRANVEL.EXE 497968 game/ZYR2.FNT
end

begin "empty game folder"
make_font game/ZYR2.FNT
run "$case_dir/game"
expect_status 1
expect_errors "$summary"
end

begin "run without arguments uses the current folder"
make_font ZYR2.FNT
make_file ZYR2.DOS 946491
# Files of their own here, whose names hold a backslash: not the game's.
make_font '.\ZYR2.FNT'
make_file '.\ZYR2.DOS' 946491
run
expect_status 0
expect_errors ""
expect_patched ZYR2.DOS 899620 ZYR2.FNT
expect_unchanged '.\ZYR2.DOS'
end

begin "font and folder, names in any case"
make_font fonts/My.Fnt
make_file Game/Zyr2.Exe 597504
make_file Game/branvel.exe 616448
run fonts/my.fnt "$case_dir/GAME"
expect_status 0
expect_errors ""
expect_patched Game/Zyr2.Exe 497968 fonts/My.Fnt
expect_patched Game/branvel.exe 514100 fonts/My.Fnt
end

begin "a folder is read once a run, and only when a name is not there as typed"
make_font game/zyr2.fnt
make_file game/zyr2.dos 928799
make_file game/zyr2.exe 597504
make_file game/branvel.exe 616448
strace -f -qq -o trace -e trace=openat "$program" game 2>.err
status=$?
reads=$(grep O_DIRECTORY trace | grep -c '"game/"')
[ "$reads" = 1 ] || fail "the game folder was read $reads times"
expect_status 0
expect_patched game/zyr2.exe 497968 game/zyr2.fnt
make_font ZYR2.FNT
make_file ZYR2.DOS 946491
make_file ZYR2.EXE 616448
make_file BRANVEL.EXE 597504
strace -f -qq -o trace -e trace=openat "$program" . 2>.err
[ "$(grep -c O_DIRECTORY trace)" = 0 ] || fail "a folder was read though every name was there"
expect_patched ZYR2.EXE 514100 ZYR2.FNT
end

begin "of two names differing in case, the first in byte order"
make_font game/ZYR2.FNT
make_file game/zyr2.exe 597504
make_file game/Zyr2.Exe 597504
run "$case_dir/game"
expect_status 0
expect_patched game/Zyr2.Exe 497968 game/ZYR2.FNT
expect_unchanged game/zyr2.exe
end

begin "backslashes separate folders"
make_font game/sub/ZYR2.FNT
make_file game/sub/ZYR2.EXE 616448
run "game\\sub"
expect_status 0
expect_patched game/sub/ZYR2.EXE 514100 game/sub/ZYR2.FNT
end

begin "a folder and a pipe named like targets are skipped"
make_font game/ZYR2.FNT
mkdir game/ZYR2.DOS
mkfifo game/ZYR2.EXE
make_file game/BRANVEL.EXE 615936
run "$case_dir/game"
expect_status 0
expect_errors ""
expect_patched game/BRANVEL.EXE 513588 game/ZYR2.FNT
end

begin "a symbolic link to a target is followed"
make_font game/ZYR2.FNT
make_file real.exe 597504
ln -s "$case_dir/real.exe" game/ZYR2.EXE
run "$case_dir/game"
expect_status 0
expect_patched real.exe 497968 game/ZYR2.FNT
end

begin "wildcards are ordinary characters"
make_font ZYR2.FNT
make_file game/ZYR2.EXE 597504
run ZYR2.FNT "$case_dir/gam?"
expect_status 1
expect_errors "$summary"
run ZYR2.FNT "$case_dir/game/*"
expect_status 1
expect_unchanged game/ZYR2.EXE
end

for font_length in 2047 2049 0; do
  begin "font of $font_length bytes"
  make_font game/ZYR2.FNT "$font_length"
  make_file game/ZYR2.EXE 597504
  run "$case_dir/game"
  expect_status 1
  expect_errors "${caption}Font is not 8x8, or is compressed"
  expect_unchanged game/ZYR2.EXE
  end
done

begin "font missing or a folder; a pipe is read to its end"
make_file game/ZYR2.EXE 597504
run "$case_dir/game"
expect_errors "${caption}Font file not found"
mkdir game/ZYR2.FNT
run "$case_dir/game"
expect_errors "${caption}Font file not found"
run "" "$case_dir/game"
expect_errors "${caption}Font file not found"
expect_status 1
expect_unchanged game/ZYR2.EXE
# A FIFO, a pipe of the shell's and standard input: each patches, and
# given alone, looked at first, the FIFO's writer still reaches the run.
# The FIFO's writer comes late, as a slow one may: the run waits for it
# (and a writer no run reads from gives up, so that a fault fails here
# rather than hangs). Were the run later still, the writer would wait for
# it: the order changes nothing but what is tried, and the writer waits
# as long as the run may last.
make_font my.fnt
mkfifo pipe.fnt
cp -r game alone
cp "$program" alone/zyr2font
for form in fifo fifo-alone process stdin; do
  cp game/ZYR2.EXE.orig game/ZYR2.EXE
  cp alone/ZYR2.EXE.orig alone/ZYR2.EXE
  case $form in
    fifo)
      timeout "$wait_bound" sh -c 'sleep 0.5; cat my.fnt >pipe.fnt' &
      run pipe.fnt "$case_dir/game"
      ;;
    fifo-alone)
      timeout "$wait_bound" sh -c 'sleep 0.5; cat my.fnt >pipe.fnt' &
      run_as "" alone/zyr2font pipe.fnt
      ;;
    process) run <(cat my.fnt) "$case_dir/game" ;;
    stdin) run /dev/stdin game < <(cat my.fnt) ;;
  esac
  wait
  expect_status 0
  expect_errors ""
  if [ "$form" = fifo-alone ]; then
    expect_patched alone/ZYR2.EXE 497968 my.fnt
  else
    expect_patched game/ZYR2.EXE 497968 my.fnt
  fi
done
end

begin "a font given alone patches the game beside the program, wherever the current folder is"
make_file game/ZYR2.EXE 615936
cp "$program" game/zyr2font
make_file ZYR2.EXE 615936  # in the current folder: not the game
mkdir -p "fonts/cyr fonts"
zcat /usr/share/consolefonts/Lat15-VGA8.psf.gz | tail -c +5 | head -c 2048 >fonts/my.fnt
run --convert fonts/my.fnt "fonts/cyr fonts/my font.png"
# Here a backslash is part of a name: a file named so is the font.
cp fonts/my.fnt 'my\font.fnt'
for font in "$case_dir/fonts/cyr fonts/my font.png" /usr/share/consolefonts/Lat15-VGA8.psf.gz fonts/my.fnt 'my\font.fnt'; do
  run_as "" "$case_dir/game/zyr2font" "$font"
  expect_status 0
  expect_errors ""
  expect_patched game/ZYR2.EXE 513588 fonts/my.fnt
done
# The program's own name ends its folder at the last slash alone.
cp "$program" 'game/zyr\2font'
cp game/ZYR2.EXE.orig game/ZYR2.EXE
run_as "" "$case_dir/game/zyr\2font" fonts/my.fnt
expect_status 0
expect_errors ""
expect_patched game/ZYR2.EXE 513588 fonts/my.fnt
# Installed apart, as the package puts it in /usr/bin, there is no game
# beside it: a message, and the current folder is left alone.
run fonts/my.fnt
expect_status 1
expect_errors "${caption}fonts/my.fnt was given alone, so the game was looked for beside the program, in $work/bin/, and none of its files is there.
Name the game folder after the font: zyr2font \"fonts/my.fnt\" \"GAME FOLDER\""
expect_unchanged ZYR2.EXE
end

begin "a font of 2048 bytes: given alone, read as the tools read it; with the folder, raw as always"
zcat /usr/share/consolefonts/Lat15-VGA8.psf.gz | tail -c +5 | head -c 2048 >real.fnt
/usr/bin/python3 "$tests_dir/sheet_of_2048.py" real.fnt sheet.png
make_file game/ZYR2.EXE 615936
cp "$program" game/zyr2font
run_as "" game/zyr2font sheet.png
expect_status 0
expect_errors ""
expect_patched game/ZYR2.EXE 513588 real.fnt
run sheet.png game
expect_status 0
expect_patched game/ZYR2.EXE 513588 sheet.png
# Given with the folder, a program or a shortcut is named for what it is.
head -c 1500 /dev/zero >"my font.lnk"
cp game/ZYR2.EXE.orig game/ZYR2.EXE
for given in "/usr/bin/true|is a program, not a font" "my font.lnk|is a shortcut"; do
  IFS='|' read -r font what <<<"$given"
  run "$font" game
  expect_status 1
  expect_errors "${caption}$font $what: drop the font itself."
  expect_unchanged game/ZYR2.EXE
done
end

begin "a font placed by a code page says how many codes got a glyph, once it went in"
misaki=/usr/share/fonts/truetype/misaki/misaki_gothic.ttf
run --convert "$misaki" misaki.fnt
make_file game/ZYR2.EXE 597504
notice="${caption}$misaki: 154 of 256 codes have a glyph in code page 437."
run "$misaki" game
expect_status 0
expect_errors "$notice"
expect_patched game/ZYR2.EXE 497968 misaki.fnt
# Nowhere to go, it says nothing more than the run's own message.
run "$misaki" nowhere
expect_status 1
expect_errors "$summary"
end

begin "a game file names its game; a font and its game in either order; several files, one message"
make_font game/ZYR2.FNT
make_file game/ZYR2.DOS 928799
make_file game/ZYR2.EXE 615936
make_file other/ZYR2.EXE 616448  # another copy: its font is never taken
make_font my.fnt
make_font more.fnt
run "$case_dir/game/ZYR2.EXE"
expect_status 0
expect_errors ""
expect_patched game/ZYR2.DOS 881700 game/ZYR2.FNT
expect_patched game/ZYR2.EXE 513588 game/ZYR2.FNT
# Given so, a font there that cannot be used is named, after the message
# the typed forms give.
make_file bad/ZYR2.EXE 616448
make_font bad/ZYR2.FNT 2047
run bad/ZYR2.EXE
expect_status 1
expect_errors "${caption}Font is not 8x8, or is compressed
The font was bad/ZYR2.FNT, beside the game's files: drop your font and the game folder together, or save your font over it."
expect_unchanged bad/ZYR2.EXE
run other/ZYR2.EXE
expect_status 1
expect_errors "${caption}ZYR2.EXE is one of the game's files, not a font: dropped on zyr2font, it patches its game with the ZYR2.FNT beside it, or else the font attached to the program, and there is neither (no other/ZYR2.FNT). Drop the font itself, or the font and the game folder together."
expect_unchanged other/ZYR2.EXE
for given in "game my.fnt" "my.fnt game/ZYR2.DOS"; do
  cp game/ZYR2.DOS.orig game/ZYR2.DOS
  cp game/ZYR2.EXE.orig game/ZYR2.EXE
  read -r -a pair <<<"$given"
  run "${pair[@]}"
  expect_status 0
  expect_errors ""
  expect_patched game/ZYR2.DOS 881700 my.fnt
  expect_patched game/ZYR2.EXE 513588 my.fnt
done
cp game/ZYR2.EXE.orig game/ZYR2.EXE
for given in "my.fnt more.fnt" "my.fnt game other"; do
  read -r -a several <<<"$given"
  run "${several[@]}"
  expect_status 1
  expect_errors "${caption}Several files were dropped at once: drop one font at a time on zyr2font, or one font and the game folder together."
  expect_unchanged game/ZYR2.EXE
done
end

begin "bad arguments"
run a b c
expect_status 1
expect_errors "${caption}Too many parameters"
run /a:my.fnt
expect_status 1
expect_errors "${caption}Incorrect parameter format"
run "a\" \"b\" \"c"
expect_errors "${caption}Too many parameters"
end

begin "help and version"
run --help
expect_status 0
grep -q '/A:FONT' "$case_dir/.out" || fail "no usage on stdout"
run --version
expect_status 0
grep -q '^zyr2font [0-9]' "$case_dir/.out" || fail "no version on stdout"
# Only a first argument that begins with "--" names a command, as on
# Windows: "-h" is a game folder.
run -h
expect_status 1
expect_errors "${caption}Font file not found"
end

begin "a target that cannot be written"
make_font game/ZYR2.FNT
make_file game/ZYR2.EXE 597504
make_file game/BRANVEL.EXE 616448
make_file game/ZYR2.DOS 1000
chmod 755 game
chmod 444 game/ZYR2.EXE game/ZYR2.DOS
chmod 666 game/BRANVEL.EXE
# Root writes anything: the program runs as an unprivileged user instead.
run_as nobody "$program" "$case_dir/game"
expect_status 0
expect_errors "${caption}ZYR2.DOS File size: 1000
Maybe it's a different version of the game.
${caption}ZYR2.EXE could not be written.
You may not change ZYR2.EXE: its permissions do not allow it."
expect_unchanged game/ZYR2.EXE
expect_patched game/BRANVEL.EXE 514100 game/ZYR2.FNT
end

begin "a target that cannot even be read"
make_font game/ZYR2.FNT
make_file game/ZYR2.EXE 597504
make_file game/BRANVEL.EXE 616448
chmod 000 game/ZYR2.EXE
chmod 666 game/BRANVEL.EXE
run_as nobody "$program" "$case_dir/game"
expect_status 0
expect_errors "${caption}ZYR2.EXE could not be written.
You may not change ZYR2.EXE: its permissions do not allow it."
expect_unchanged game/ZYR2.EXE
expect_patched game/BRANVEL.EXE 514100 game/ZYR2.FNT
end

begin "a game on a read-only file system: no summary after the files found"
make_font game/ZYR2.FNT
make_file game/ZYR2.EXE 597504
make_file game/BRANVEL.EXE 616448
if unshare -rm true 2>/dev/null; then
  unshare -rm sh -c 'mount --bind game game && mount -o remount,ro,bind game &&
    exec "$0" game' "$program" >.out 2>.err
  status=$?
  errors=$(cat .err)
  expect_status 1
  expect_errors "${caption}ZYR2.EXE could not be written.
ZYR2.EXE is on a disc or a drive that cannot be written: copy its folder to the hard disk and use the copy.
${caption}BRANVEL.EXE could not be written.
BRANVEL.EXE is on a disc or a drive that cannot be written: copy its folder to the hard disk and use the copy."
  expect_unchanged game/ZYR2.EXE
  expect_unchanged game/BRANVEL.EXE
else
  echo "  (no private mount namespace here: tested through the fake platform only)"
fi
end

begin "standard error a closed pipe: the run goes on"
make_font game/ZYR2.FNT
make_file game/ZYR2.DOS 1000
make_file game/ZYR2.EXE 597504
# Opened both ways, then its reading end closed: a pipe nobody reads.
mkfifo gone
exec 3<>gone 4>gone 3<&-
timeout "$wait_bound" "$program" "$case_dir/game" 2>&4
status=$?
exec 4>&-
expect_status 0
expect_patched game/ZYR2.EXE 497968 game/ZYR2.FNT
end

begin "a file-size limit inside the font: every target kept whole"
make_font game/ZYR2.FNT
make_file game/ZYR2.DOS 928799
make_file game/ZYR2.EXE 597504
make_file game/BRANVEL.EXE 616448
# 32 bytes of ZYR2.EXE's font fit under the limit; nothing of the others.
run_as "" prlimit --fsize=498000 "$program" "$case_dir/game"
expect_status 1
past_the_limit=" would reach past the file-size limit the program runs under: raise the limit, then try again."
expect_errors "${caption}ZYR2.DOS could not be written.
ZYR2.DOS$past_the_limit
${caption}ZYR2.EXE could not be written.
ZYR2.EXE$past_the_limit
${caption}BRANVEL.EXE could not be written.
BRANVEL.EXE$past_the_limit"
expect_unchanged game/ZYR2.DOS
expect_unchanged game/ZYR2.EXE
expect_unchanged game/BRANVEL.EXE
end

begin "the path as typed wins over the same path in upper case"
make_font zyr2/ZYR2.FNT
make_file zyr2/ZYR2.EXE 597504
make_font ZYR2/ZYR2.FNT
make_file ZYR2/ZYR2.EXE 597504
make_font my.fnt
make_font MY.FNT
run zyr2
expect_status 0
expect_patched zyr2/ZYR2.EXE 497968 zyr2/ZYR2.FNT
expect_unchanged ZYR2/ZYR2.EXE
run my.fnt ZYR2
expect_status 0
expect_patched ZYR2/ZYR2.EXE 497968 my.fnt
end

# The font tools. A real font that no one here drew: the Linux console's.
consolefonts=/usr/share/consolefonts
real_font() {
  zcat "$consolefonts/Lat15-VGA8.psf.gz" | tail -c +5 | head -c 2048 >"$1"
}

begin "every format round-trips through the program"
real_font font.fnt
for extension in fnt f08 bin psf bdf png txt PNG; do
  run --convert font.fnt "out.$extension"
  expect_status 0
  run --convert "out.$extension" back.fnt
  expect_status 0
  expect_errors ""
  cmp -s font.fnt back.fnt || fail "font.fnt changed through .$extension"
done
end

begin "a block of glyphs is one picture, out of a font and back into it"
real_font font.fnt
head -c 2048 /dev/zero >blank.fnt
# blank.fnt with the block's glyphs of font.fnt, and the block's text
# picture, cut by the test's own reading of the font.
block_cut() {
  /usr/bin/python3 -c '
import sys
font = open("font.fnt", "rb").read()
codes, width = [int(c, 0) for c in sys.argv[1].split(",")], int(sys.argv[2])
rows = (len(codes) + width - 1) // width
put = bytearray(2048)
lines = [["."] * (width * 8) for _ in range(rows * 8)]
for i, code in enumerate(codes):
    put[code * 8:code * 8 + 8] = font[code * 8:code * 8 + 8]
    for y in range(8):
        for x in range(8):
            if font[code * 8 + y] >> (7 - x) & 1:
                lines[i // width * 8 + y][i % width * 8 + x] = "#"
open("expected.fnt", "wb").write(put)
open("expected.txt", "w").write("".join("".join(l) + "\n" for l in lines))
print("%dx%d" % (width * 8, rows * 8))' "$1" "$2"
}
while IFS='|' read -r codes width; do
  size=$(block_cut "$codes" "$width")
  run --convert font.fnt block.png --codes "$codes" --width "$width"
  expect_status 0
  expect_errors ""
  [ "$(identify-im6.q16 -format %wx%h block.png)" = "$size" ] || fail "block.png of ${codes:0:32} is not $size"
  run --convert --width "$width" font.fnt --codes "$codes" block.txt
  cmp -s block.txt expected.txt || fail "block.txt of ${codes:0:32} is not the glyphs at their places"
  run --merge font.fnt block.png back.fnt --codes "$codes" --width "$width"
  expect_status 0
  cmp -s back.fnt font.fnt || fail "font.fnt changed through the block of ${codes:0:32}"
  # Magnified three times by ImageMagick, into a blank font: the block's
  # glyphs, and no other.
  convert-im6.q16 block.png -scale 300% big.png
  run --merge blank.fnt big.png put.fnt --codes "$codes" --width "$width"
  expect_status 0
  cmp -s put.fnt expected.fnt || fail "the block of ${codes:0:32} magnified put other glyphs"
done <<CASES
0x41|1
0xC9,0xBA,0xC8|1
0xC9,0xCD,0xBB,0xBA,0x20|3
0xFF,0x00,0x80,0x7F|3
$(seq -s, 0 255)|16
CASES
# A frame drawn by ImageMagick over 4 glyphs across and 2 down, its lines
# crossing glyph edges, cut by the test from ImageMagick's plain PGM.
convert-im6.q16 -size 32x16 xc:white +antialias -fill none -stroke black \
  -draw 'rectangle 1,1 30,14' -draw 'line 4,4 27,11' peer.png
convert-im6.q16 peer.png -compress none peer.pgm
/usr/bin/python3 -c '
words = open("peer.pgm").read().split()
width, height, pixels = int(words[1]), int(words[2]), [int(w) for w in words[4:]]
font = bytearray(open("font.fnt", "rb").read())
for i in range(8):
    for y in range(8):
        row = 0
        for x in range(8):
            dark = pixels[(i // 4 * 8 + y) * width + i % 4 * 8 + x] < int(words[3]) // 2
            row |= dark << (7 - x)
        font[(0xF0 + i) * 8 + y] = row
open("expected.fnt", "wb").write(font)'
convert-im6.q16 peer.png peer.bmp
convert-im6.q16 peer.png peer.gif
convert-im6.q16 peer.png -scale 800% peer-8.png
for picture in peer.png peer.bmp peer.gif peer-8.png; do
  run --merge font.fnt "$picture" out.fnt --codes 0xF0-0xF7 --width 4
  expect_status 0
  expect_errors ""
  cmp -s out.fnt expected.fnt || fail "$picture put other glyphs than the test cut"
done
rm -f out.fnt
# A picture of another size, and a block asked for wrongly: nothing written.
convert-im6.q16 -size 40x16 xc:white logo.png
while IFS='|' read -r options message; do
  # shellcheck disable=SC2086
  run --merge font.fnt logo.png out.fnt $options
  expect_status 1
  expect_errors "$caption$message"
  [ ! -e out.fnt ] || fail "out.fnt written after: $message"
done <<CASES
--codes 0xF0-0xF7 --width 4|logo.png is 40x16; 4 glyphs across and 2 down need 32x16, or a whole multiple of it.
--codes 0xF0-0xF7 --width 3|logo.png is 40x16; 3 glyphs across and 3 down need 24x24, or a whole multiple of it.
--codes 0xF0-0xF7,0xF3 --width 4|--codes gives 0xF3 twice, but each code of a block has one place in its picture.
--width 4|--width needs --codes, the block's codes in reading order: zyr2font --merge [--codepage N] BASE OTHER DEST [--codes CODES [--width W]]
CASES
end

begin "the Linux console's 8x8 fonts convert to their own glyphs"
count=0
# Two that name their own code page by their Unicode table keep their codes
# too: placed by its table, a code where the font draws another character
# than the code page's would change its glyph.
for psf in "$consolefonts"/*-VGA8.psf.gz "$consolefonts"/{Cyr_a8x8,cp857-8x8}.psf.gz; do
  [ "$(zcat "$psf" | head -c 2 | od -An -tx1 | tr -d ' ')" = 3604 ] || fail "$psf is not PSF 1"
  run --convert "$psf" out.fnt
  expect_status 0
  zcat "$psf" | tail -c +5 | head -c 2048 | cmp -s - out.fnt || fail "$psf converts to other glyphs"
  count=$((count + 1))
done
[ "$count" -ge 10 ] || fail "only $count console fonts"
# Placed by their own code page (keyed by it, then put at its codes again),
# named or not, the codes it gives no character keep their glyphs: 0x01-0x1F
# and 0x7F.
for psf in Cyr_a8x8:866 cp857-8x8:857; do
  run --convert "$consolefonts/${psf%:*}.psf.gz" own.bdf
  run --convert --codepage "${psf#*:}" "$consolefonts/${psf%:*}.psf.gz" named.bdf
  cmp -s own.bdf named.bdf || fail "${psf%:*} keyed by ${psf#*:} named is not keyed as by its own"
  run --convert --codepage "${psf#*:}" own.bdf own.fnt
  expect_status 0
  for range in 8:248 1016:8; do
    cmp -s <(tail -c +$((${range%:*} + 1)) own.fnt | head -c "${range#*:}") \
      <(zcat "$consolefonts/${psf%:*}.psf.gz" | tail -c +$((${range%:*} + 5)) | head -c "${range#*:}") ||
      fail "${psf%:*} placed by its own code page loses glyphs at bytes $range"
  done
done
# kbd's code-page files: one code page's fonts of 8x16, 8x14 and 8x8, after
# a code-page entry of 28 bytes and its 6-byte header; each font a 6-byte
# header (height, width, aspect, count) and its glyphs.
for cp in /usr/share/consolefonts/*.cp; do
  run --convert "$cp" out.fnt
  eight=$(/usr/bin/python3 -c 'import struct, sys
d = open(sys.argv[1], "rb").read(); at = 34
for _ in range(struct.unpack_from("<H", d, 30)[0]):
    height, width, _, _, count = struct.unpack_from("<BBBBH", d, at)
    if (height, width) == (8, 8):
        glyphs = d[at + 6:at + 6 + 2048]
        sys.stdout.write("blank" if not any(glyphs) else glyphs.hex())
    at += 6 + count * height' "$cp")
  if [ "$eight" = blank ]; then  # console-data's 972.cp: its 8x8 font is all zero
    expect_errors "${caption}$cp has no glyph at any of the 256 codes (every glyph it gives is blank)."
  else
    [ "$(od -An -v -tx1 out.fnt | tr -d ' \n')" = "$eight" ] || fail "$cp converts to other glyphs"
  fi
  count=$((count + 1))
done
run --show --codepage 866 /usr/share/consolefonts/737.cp
expect_errors "${caption}/usr/share/consolefonts/737.cp is a code page font file without an 8x8 font of code page 866: it holds 737 (8x16, 8x14, 8x8)."
# A code page the program has no table of still chooses a font by number.
run --convert --codepage 880 /usr/share/consolefonts/880.cp out.fnt
expect_status 0
expect_errors ""
# With no code page named, a BDF or TrueType font of a font that names its
# own code page is keyed by that one, the same file as with it named, and
# says so; a raw font names none and is keyed by 437, without a word, and
# one of a set without a table by 437, said; one named that the file lacks
# is refused as ever.
{
  printf 'STARTFONT 2.1\nFONTBOUNDINGBOX 8 8 0 -1\nSTARTPROPERTIES 2\n'
  printf 'CHARSET_REGISTRY "MICROSOFT"\nCHARSET_ENCODING "CP1251"\nENDPROPERTIES\nCHARS 1\n'
  printf 'STARTCHAR afii10024\nENCODING 198\nBBX 8 8 0 -1\nBITMAP\n'
  for _ in 1 2 3 4 5 6 7 8; do echo DB; done
  printf 'ENDCHAR\nENDFONT\n'
} >cp1251.bdf
sed 's/"MICROSOFT"/"KOI8"/; s/"CP1251"/"R"/' cp1251.bdf >koi8.bdf
real_font font.fnt
mkdir -p named
while IFS='|' read -r source destination options status message; do
  # shellcheck disable=SC2086
  run --convert $options "$source" "$destination"
  expect_status "$status"
  expect_errors "${message:+$caption}$message"
  [ -z "$options" ] || continue
  case $message in
    *"the font's own.") own=${message##*code page } ;;
    *) own=437 ;;
  esac
  "$program" --convert --codepage "${own%%,*}" "$source" "named/$destination" 2>/dev/null
  cmp -s "$destination" "named/$destination" || fail "$destination is not keyed as with its code page named"
done <<CASES
/usr/share/consolefonts/737.cp|g.bdf||0|g.bdf is keyed by code page 737, the font's own.
/usr/share/consolefonts/737.cp|g.ttf||0|g.ttf is keyed by code page 737, the font's own.
cp1251.bdf|c.ttf||0|c.ttf is keyed by code page 1251, the font's own.
cp1251.bdf|c.bdf||0|c.bdf is keyed by code page 1251, the font's own.
font.fnt|raw.bdf||0|
koi8.bdf|k.bdf||0|k.bdf is keyed by code page 437: the font is of KOI8-R, which this program has no table of.
/usr/share/consolefonts/737.cp|r.bdf|--codepage 437|1|/usr/share/consolefonts/737.cp is a code page font file without an 8x8 font of code page 437: it holds 737 (8x16, 8x14, 8x8).
CASES
grep -q '^ENCODING 913$' g.bdf || fail "g.bdf has no Alpha"
grep -q '^ENCODING 1046$' c.bdf || fail "c.bdf has no Zhe"
# One byte short, it is still a code page's entry, and a damaged one.
head -c -1 /usr/share/consolefonts/737.cp >cut.cp
run --show cut.cp
expect_errors "${caption}cut.cp is a code page font file whose data is damaged."
end

begin "files that are no 8x8 font get their message and write nothing"
real_font font.fnt
head -c 300 "$consolefonts/Lat15-VGA8.psf.gz" >cut.psf.gz
zcat "$consolefonts/Lat15-VGA8.psf.gz" | head -c 1000 >cut.psf
# A PNG image of 2x2 pixels.
printf '\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x02\x08\x00\x00\x00\x00\x57\xdd\x52\xf8\x00\x00\x00\x0c\x49\x44\x41\x54\x78\x9c\x63\x60\xf8\x0f\x84\x00\x06\x00\x01\xff\x93\xd1\xe4\x89\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82' >small.png
printf 'STARTFONT 2.1\nFONTBOUNDINGBOX 8 8 0 -1\nSTARTCHAR A\nENCODING 65\nBBX 9 8 0 -1\nBITMAP\n0080\n0\n0\n0\n0\n0\n0\n0\nENDCHAR\nENDFONT\n' >wide.bdf
make_file ZYR2.EXE 597504
while IFS='|' read -r source destination message; do
  run --convert "$source" "$destination"
  expect_status 1
  expect_errors "$caption$message"
  [ "$destination" = ZYR2.EXE ] || [ ! -e "$destination" ] || fail "$destination was written"
  ! ls -A | grep -q zyr2font- || fail "a copy was left"
done <<CASES
cut.psf.gz|out.fnt|cut.psf.gz is compressed, but could not be decompressed.
$consolefonts/Lat15-VGA16.psf.gz|out.fnt|$consolefonts/Lat15-VGA16.psf.gz is a PSF font of 8x16 glyphs, not 8x8.
cut.psf|out.png|cut.psf is a PSF font that ends before its last glyph.
small.png|out.fnt|small.png is a 2x2 image, not a 128x128 font sheet.
wide.bdf|out.fnt|wide.bdf is a BDF font whose glyph 0x41 does not fit an 8x8 cell.
missing.fnt|out.fnt|missing.fnt was not found.
/usr/share/fonts/X11/misc/nil2.pcf.gz|out.fnt|/usr/share/fonts/X11/misc/nil2.pcf.gz is a PCF font of 1x2 glyphs, not 8x8.
/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf|out.fnt|/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf is a TrueType font drawn on a grid of 2048 units to the em, not 8 pixels.
/usr/share/unifont/unifont.hex|out.fnt|/usr/share/unifont/unifont.hex is a hex font of 16x16 glyphs (line 1), not 8x8.
font.fnt|ZYR2.EXE|ZYR2.EXE does not end with an extension that names a font format: .fnt, .f08, .bin, .psf, .bdf, .ttf, .otb, .png or .txt.
CASES
expect_unchanged ZYR2.EXE
end

begin "the game's font out, a new one in, and the old one back"
make_file game/ZYR2.EXE 616448
real_font new.fnt
run --convert game/ZYR2.EXE original.fnt
expect_status 0
cmp -s original.fnt <(tail -c +514101 game/ZYR2.EXE | head -c 2048) ||
  fail "original.fnt is not the game's font"
run new.fnt game
expect_patched game/ZYR2.EXE 514100 new.fnt
run original.fnt game
expect_status 0
expect_unchanged game/ZYR2.EXE
make_file game/BRANVEL.EXE 1000
run --convert game/BRANVEL.EXE out.fnt
expect_status 1
expect_errors "${caption}game/BRANVEL.EXE File size: 1000
Maybe it's a different version of the game."
end

begin "DEST: only an ordinary file is replaced, through any link"
real_font font.fnt
mkdir album.png
mkfifo pipe.png
ln -s album.png folder-link.png
ln -s nowhere dangling.fnt
make_file mine 100
chmod 640 mine
ln -s mine link.fnt
cp /usr/bin/env env
ln -s env env-link.fnt
while IFS='|' read -r destination message; do
  run --convert font.fnt "$destination"
  expect_status 1
  expect_errors "$caption$destination $message"
done <<CASES
album.png|could not be written.
pipe.png|could not be written.
folder-link.png|could not be written.
dangling.fnt|is a symbolic link to a file that does not exist.
CASES
[ -d album.png ] && [ -z "$(ls -A album.png)" ] && [ -p pipe.png ] &&
  [ "$(readlink folder-link.png)" = album.png ] && [ "$(readlink dangling.fnt)" = nowhere ] ||
  fail "a refused DEST was changed"
for link in link.fnt env-link.fnt; do
  run --convert font.fnt "$link"
  expect_status 0
  [ -L "$link" ] || fail "$link is no longer a link"
  cmp -s "$(readlink "$link")" font.fnt || fail "what $link names does not hold the font"
done
[ "$(stat -c %a mine env)" = "640
755" ] || fail "the files lost their modes: $(stat -c %a mine env)"
run --convert font.fnt "$(printf 'x%.0s' $(seq 1 251)).fnt"
expect_status 0
cmp -s font.fnt x*x.fnt || fail "a name of 255 bytes was not written"
# A new DEST takes the mode a new file gets, whatever its source's.
umask 027
run --convert env new.bdf
umask 022
[ "$(stat -c %a new.bdf)" = 640 ] || fail "a new DEST has mode $(stat -c %a new.bdf)"
[ -z "$(ls -A | grep zyr2font-)" ] || fail "a copy was left"
end

for name in QUIT USR1 ALRM TERM KILL; do
  begin "SIG$name during a convert: no copy outlives the next convert"
  real_font font.fnt
  sh -c 'strace -f -qq -o /dev/null -e trace=fsync -e inject=fsync:signal="$0":when=1 \
    "$1" --convert font.fnt out.bdf; echo $? >.status' "$name" "$program" 2>/dev/null
  status=$(cat .status)
  expect_status $((128 + $(kill -l "$name")))
  [ ! -e out.bdf ] || fail "out.bdf was written"
  left=$(ls -A | grep -c zyr2font-)
  [ "$left" = "$([ "$name" = KILL ] && echo 1 || echo 0)" ] || fail "$left copies left"
  # Of the files named near a copy, and a folder and a link named like one,
  # the next convert removes none.
  touch .zyr2font-abc12 .zyr2font-abc1234 .zyr2font-ab_123 zyr2font-abc123
  mkdir .zyr2font-dir123
  ln -s font.fnt .zyr2font-link12
  run --convert font.fnt other.psf
  expect_status 0
  [ "$(LC_ALL=C ls -A | grep zyr2font- | tr '\n' ' ')" = ".zyr2font-ab_123 .zyr2font-abc12 .zyr2font-abc1234 .zyr2font-dir123 .zyr2font-link12 zyr2font-abc123 " ] ||
    fail "the next convert left a copy, or removed another file: $(ls -A)"
  end
done

begin "SOURCE: a folder or device is no font file, and a pipe is read to its end"
real_font font.fnt
mkdir folder
for source in folder /dev/null; do
  run --show "$source"
  expect_status 1
  expect_errors "${caption}$source is not a font file."
done
gzip -c font.fnt >font.fnt.gz
run --convert /dev/stdin out.fnt < <(cat font.fnt.gz)
expect_status 0
cmp -s out.fnt font.fnt || fail "the pipe was read wrong"
end

begin "peers' files that were read wrong are read right or refused"
real_font font.fnt
# Pillow's plain 16-bit save: ink and background differ in the low byte.
/usr/bin/python3 -c '
import sys
from PIL import Image
font = open("font.fnt", "rb").read()
sheet = Image.new("I", (128, 128), 1000)
for code in range(256):
  for row in range(8):
    for column in range(8):
      if font[code * 8 + row] >> (7 - column) & 1:
        sheet.putpixel((code % 16 * 8 + column, code // 16 * 8 + row), 1001)
sheet.save("deep.png")'
head -c 1000 font.fnt | gzip >two.fnt.gz
tail -c 1048 font.fnt | gzip >>two.fnt.gz
for source in deep.png two.fnt.gz; do
  run --convert "$source" out.fnt
  expect_status 0
  cmp -s out.fnt font.fnt || fail "$source reads to other glyphs"
done
cp two.fnt.gz trailing.fnt.gz
echo more >>trailing.fnt.gz
run --show trailing.fnt.gz
expect_errors "${caption}trailing.fnt.gz is compressed, but other bytes follow its compressed data."
end

begin "memory stays small: bombs get their format's message under a limit"
if [ "$sanitized" = 1 ]; then
  echo "  (skipped: a sanitized build cannot run under a memory limit)"
else
  /usr/bin/python3 -c '
import gzip, struct, zlib
def chunk(kind, data):
  return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
packer = zlib.compressobj(9)
data = b"".join(packer.compress(bytes(1 << 20)) for _ in range(1024)) + packer.flush()
open("bomb.png", "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 128, 128, 8, 0, 0, 0, 0))
  + chunk(b"IDAT", data) + chunk(b"IEND", b""))
open("lines.bdf.gz", "wb").write(gzip.compress(b"STARTFONT 2.1\n" + b"\n" * (16 << 20), 9))
open("rows.bdf.gz", "wb").write(gzip.compress(b"STARTFONT 2.1\nFONTBOUNDINGBOX 8 8 0 -1\nSTARTCHAR A\nBITMAP\n" + b"00\n" * (5 << 20), 9))
# A first line of 8 million words, and a BDF line of as many: each a word
# at a time, never all of them.
open("words.gz", "wb").write(gzip.compress(b"a " * ((16 << 20) // 2 - 1) + b"\n", 9))
open("words.bdf.gz", "wb").write(gzip.compress(b"STARTFONT 2.1\nCOMMENT " + b"a " * ((16 << 20) // 2 - 16) + b"\n", 9))'
  while IFS='|' read -r source message; do
    run_as "" prlimit --as=$((40 * 1024 * 1024)) "$program" --show "$source"
    expect_status 1
    expect_errors "$caption$source $message"
  done <<CASES
bomb.png|is a PNG image whose data is damaged.
lines.bdf.gz|is compressed, and holds more than an 8x8 font could.
rows.bdf.gz|is a BDF font with a malformed line 13.
words.gz|is compressed, and what it holds is taken for a raw font, but is 16777215 bytes long, not 2048.
words.bdf.gz|is a BDF font that ends before its ENDFONT line.
CASES
fi
end

begin "output that cannot be written is reported, unless its reader left"
real_font font.fnt
printf 'text\n' >text.txt
for command in --show --help --version --check; do
  arguments=("$command")
  [ "$command" = --show ] && arguments+=(font.fnt)
  [ "$command" = --check ] && arguments+=(font.fnt text.txt)
  timeout "$wait_bound" "$program" "${arguments[@]}" >/dev/full 2>.err
  status=$?
  errors=$(cat .err)
  expect_status 1
  expect_errors "${caption}The output could not be written."
  timeout "$wait_bound" "$program" "${arguments[@]}" 2>.err | head -c 1 >/dev/null
  [ "${PIPESTATUS[0]}" = 0 ] && [ ! -s .err ] || fail "$command into a pipe closed early: ${PIPESTATUS[0]}, $(cat .err)"
done
run --help extra
expect_status 1
expect_errors "${caption}--help takes no file: zyr2font --help"
end

begin "fonts that peers made read to the glyphs their peers see"
real_font font.fnt
misc=/usr/share/fonts/X11/misc
misaki=/usr/share/fonts/truetype/misaki/misaki_gothic.ttf
# Each source against what a peer makes of it: FreeType draws Misaki's
# ASCII in monochrome; pcf2bdf turns PCF into BDF; FontForge writes a
# Windows FNT of a BDF; hex2bdf turns hex into BDF; ImageMagick writes
# BMP and GIF, and magnifies a sheet.
/usr/bin/python3 "$tests_dir/freetype_ascii.py" "$misaki" freetype.fnt
# X's 5x7 (its ascender 6 rows above its baseline) and Spleen's 5x8, drawn
# at their size, on the baseline of an 8x8 cell: one row above its bottom.
/usr/bin/python3 "$tests_dir/freetype_ascii.py" "$misc/5x7.pcf.gz" freetype-5x7.fnt ascii 7 1
/usr/bin/python3 "$tests_dir/freetype_ascii.py" "$misc/spleen-5x8.pcf.gz" freetype-5x8.fnt ascii 8 0
for face in clR8x8 clB8x8 clI8x8; do
  zcat "$misc/$face.pcf.gz" >"$face.pcf"
  pcf2bdf -o "$face.bdf" "$face.pcf"
done
"$program" --convert font.fnt font.bdf
fontforge -quiet -lang=ff -c 'Open($1); Generate($2, "fnt")' font.bdf windows.fnt >/dev/null 2>&1
od -An -v -tx1 -w8 -j256 -N760 font.fnt | tr -d ' ' |
  awk '{printf "%04X:%s\n", NR + 31, toupper($0)}' >ascii.hex
hex2bdf -r 8 <ascii.hex >ascii.bdf
{ head -c 256 /dev/zero; tail -c +257 font.fnt | head -c 760; head -c 1032 /dev/zero; } >ascii.fnt
"$program" --convert font.fnt sheet.png
convert-im6.q16 sheet.png sheet.bmp
convert-im6.q16 sheet.png sheet.gif
convert-im6.q16 sheet.png -scale 500% big.png
while IFS='|' read -r source options reference; do
  # shellcheck disable=SC2086
  run --convert $options "$source" out.fnt
  expect_status 0
  if [[ "$reference" == freetype*.fnt ]]; then
    # The ASCII that FreeType drew.
    cmp -s <(tail -c +257 out.fnt | head -c 760) <(tail -c +257 "$reference" | head -c 760) ||
      fail "$source reads other than FreeType draws it"
    continue
  fi
  # shellcheck disable=SC2086
  "$program" --convert $options "$reference" ref.fnt 2>/dev/null
  if [ "$source" = windows-8.fnt ]; then
    # FontForge writes an ANSI font of Latin-1's characters, where 0x80
    # to 0x9F are controls: the rest is code page 1252's.
    cmp -s <(tail -c +257 out.fnt | head -c 768) <(tail -c +257 ref.fnt | head -c 768) &&
      cmp -s <(tail -c +1281 out.fnt) <(tail -c +1281 ref.fnt) ||
      fail "$source reads other than $reference"
    continue
  fi
  cmp -s out.fnt ref.fnt || fail "$source reads other than $reference"
done <<CASES
$misaki||freetype.fnt
$misc/5x7.pcf.gz||freetype-5x7.fnt
$misc/spleen-5x8.pcf.gz||freetype-5x8.fnt
$consolefonts/spleen-5x8.psfu.gz|--codepage 437|freetype-5x8.fnt
$misc/clR8x8.pcf.gz||clR8x8.bdf
$misc/clB8x8.pcf.gz||clB8x8.bdf
$misc/clI8x8.pcf.gz||clI8x8.bdf
windows-8.fnt|--codepage 1252|font.bdf
ascii.hex||ascii.fnt
ascii.hex|--codepage 437|ascii.bdf
sheet.bmp||font.fnt
sheet.gif||font.fnt
big.png||font.fnt
CASES
run --show "$misaki"
expect_errors "$caption$misaki: 154 of 256 codes have a glyph in code page 437."
# The fonts Wine ships hold no 8x8 font: each is refused with its sizes,
# or, smooth, with its units.
while IFS='|' read -r source message; do
  run --show "/usr/share/wine/fonts/$source"
  expect_status 1
  expect_errors "$caption/usr/share/wine/fonts/$source $message"
done <<CASES
vgafix.fon|is a Windows font file of 8x15 glyphs, none 8x8.
sserife.fon|is a Windows font file of 11x13, 14x16 and 16x20 glyphs, none 8x8.
ms_sans_serif.ttf|is a TrueType font of 11x13, 14x16 and 15x20 strikes, none 8x8.
wingding.ttf|is a TrueType font drawn on a grid of 2048 units to the em, not 8 pixels.
CASES
end

begin "a console font becomes a font of the game's code page"
# The test's own reading of the font's Unicode table (check_reference.py's),
# through Python's own code page 850: each code gets the glyph of its
# character, or none.
/usr/bin/python3 -c '
import sys
sys.path.insert(0, sys.argv[1])
import check_reference
open("expected.fnt", "wb").write(check_reference.psf_font(sys.argv[2], 850, True))' \
  "$tests_dir" "$consolefonts/Lat15-VGA8.psf.gz"
run --convert --codepage 850 "$consolefonts/Lat15-VGA8.psf.gz" out.fnt
expect_status 0
cmp -s <(tail -c +257 out.fnt) <(tail -c +257 expected.fnt) ||
  fail "code page 850 placed the glyphs other than the Unicode table says"
[[ "$errors" =~ ": "[0-9]+" of 256 codes have a glyph in code page 850."$ ]] ||
  fail "no count of the codes placed: $errors"
end

begin "--check says what a console font cannot draw of a translation, as Python's codecs do"
# Russian and Greek texts written for the test, and Debian's licences for
# Latin, against the console's fonts in their code pages, each compared with
# the report check_reference.py works out by itself: its own decoding of
# the font, Python's UTF-8 and code-page codecs.
texts=$tests_dir/texts
licences=$(ls /usr/share/common-licenses/* | grep -v -e '/GPL$' -e '/LGPL$' -e '/GFDL$' | tr '\n' ' ')
# Long enough to be read in several pieces, each cut inside a character.
for _ in $(seq 200); do cat "$texts/ru.txt"; done >long.txt
iconv -f utf-8 -t cp1251 "$texts/ru.txt" >ru-1251.txt
printf 'one\r\ntwo\r\nthr\xe2\x82' >cut.txt
# Combining marks of Russian, Hebrew, Arabic, Devanagari and symbols, and
# spaces, one with ink.
printf 'за\u0301мок \u05d0\u05b8 \u0628\u064e \u25cb\u20dd \u0915\u093e\n1\u202f000\u2009m\u3000\u1680\n' >marks.txt
# UTF-16 as Windows' editors save it, with and without its byte order mark.
iconv -f utf-8 -t utf-16le "$texts/ru.txt" >ru-16le.txt
iconv -f utf-8 -t utf-16 "$texts/ru.txt" >ru-16.txt
# More different characters than --check keeps the first places of (70,000
# of plane 2, each once), then Russian: its letters' places are found by
# reading the text again.
/usr/bin/python3 -c '
import sys
sys.stdout.write("".join(chr(0x20000 + i) for i in range(70000)) + "\n")' >many.txt
cat "$texts/ru.txt" >>many.txt
while read -r font code_page placed files; do
  # shellcheck disable=SC2086  # the files are separate words
  /usr/bin/python3 "$tests_dir/check_reference.py" "$consolefonts/$font" \
    "$code_page" "$placed" $files >expected
  # shellcheck disable=SC2086
  run --check --all --codepage "$code_page" "$consolefonts/$font" $files
  if grep -q 'is not UTF-8 text' expected; then
    expect_status 1
    [ "$errors" = "$caption$(cat expected)" ] || fail "$font: [$errors]"
    continue
  fi
  if head -c 4 expected | grep -q '^all '; then expect_status 0; else expect_status 1; fi
  cmp -s expected "$case_dir/.out" || fail "$font $code_page: $(diff expected "$case_dir/.out")"
done <<CASES
CyrKoi-VGA8.psf.gz 866 yes $texts/ru.txt
Cyr_a8x8.psf.gz 866 yes $texts/ru.txt long.txt
ruscii_8x8.psf.gz 866 yes $texts/ru.txt $texts/el.txt
Greek-VGA8.psf.gz 737 yes $texts/el.txt
gr737-8x8.psf.gz 737 no $texts/el.txt
737.cp 737 no $texts/el.txt $texts/ru.txt
Greek-VGA8.psf.gz 869 yes $texts/el.txt
Lat15-VGA8.psf.gz 850 yes $licences
Lat15-VGA8.psf.gz 437 yes $licences $texts/el.txt
gr737-8x8.psf.gz 437 no $texts/ru.txt ru-1251.txt
gr737-8x8.psf.gz 437 no cut.txt
Lat15-VGA8.psf.gz 850 yes marks.txt
gr737-8x8.psf.gz 737 no ru-16le.txt
737.cp 737 no $texts/el.txt ru-16.txt
Cyr_a8x8.psf.gz 850 yes $texts/el.txt many.txt
CASES
# Without --codepage, the font's own code page where it tells one, and the
# report says which and why; the same as naming it.
while IFS='|' read -r font text first; do
  run --check "$font" "$texts/$text"
  [ "$(head -n 1 "$case_dir/.out")" = "$first" ] || fail "$font: $(head -n 1 "$case_dir/.out")"
  number=${first#Checked in code page }
  number=${number%%[!0-9]*}
  tail -n +2 "$case_dir/.out" >unnamed.out
  run --check --codepage "$number" "$font" "$texts/$text"
  cmp -s unnamed.out "$case_dir/.out" || fail "$font: not as --codepage $number"
done <<CASES
$consolefonts/737.cp|el.txt|Checked in code page 737, the font's own.
$consolefonts/Cyr_a8x8.psf.gz|ru.txt|Checked in code page 866, the font's own.
$consolefonts/gr737-8x8.psf.gz|el.txt|Checked in code page 437: the font names no code page of its own.
/usr/share/fonts/X11/misc/5x7-KOI8-R.pcf.gz|ru.txt|Checked in code page 437: the font is of KOI8-R, which this program has no table of.
CASES
# A font of a character set without a table keeps its codes, and says so.
run --convert --codepage 866 /usr/share/fonts/X11/misc/5x7-KOI8-R.pcf.gz koi8.fnt
expect_status 0
[[ "$errors" == *"5x7-KOI8-R.pcf.gz is a font of KOI8-R, which this program has no table of: its glyphs keep their codes, not placed by code page 866." ]] ||
  fail "no word of the codes kept: $errors"
# A pipe reads as the file does; at most 20 characters a list without --all.
run --check --codepage 737 "$consolefonts/gr737-8x8.psf.gz" <(cat "$texts/ru.txt")
expect_status 1
[ "$(grep -c '^  ' "$case_dir/.out")" = 21 ] || fail "not 20 characters and the rest listed"
grep -q '^  and [0-9]* more, used [0-9]* times$' "$case_dir/.out" || fail "no count of the rest"
# A pipe is read once: the places past those kept are not known, and the
# report says why where each would stand; the places kept are as a file's.
run --check "$consolefonts/Lat15-VGA8.psf.gz" "$texts/el.txt" many.txt
sed 's/first at many\.txt:[0-9]*:[0-9]*$/first place not known: many.txt is a pipe, read only once/' \
  "$case_dir/.out" >expected
run --check "$consolefonts/Lat15-VGA8.psf.gz" "$texts/el.txt" <(cat many.txt)
expect_status 1
sed 's#/dev/fd/[0-9]*#many.txt#' "$case_dir/.out" >piped
if ! grep -q 'U+0430 а  first place not known: many.txt is a pipe' piped ||
  ! cmp -s expected piped; then
  fail "a pipe of more characters than the places kept: $(diff expected piped)"
fi
truncate -s 65M huge.txt
mkdir folder.txt
while IFS='|' read -r text message; do
  run --check "$consolefonts/Lat15-VGA8.psf.gz" "$texts/el.txt" "$text"
  expect_status 1
  expect_errors "$caption$message"
  [ ! -s "$case_dir/.out" ] || fail "$text: a report was printed"
done <<CASES
huge.txt|huge.txt is over 64 MiB, too long for a translation's text.
folder.txt|folder.txt is not a text file.
none.txt|none.txt was not found.
CASES
# A pipe is read to the first byte past 64 MiB, and no further.
run --check "$consolefonts/Lat15-VGA8.psf.gz" <(yes | head -c $((64 * 1024 * 1024 + 1)))
expect_status 1
[[ "$errors" =~ ^"$caption"/.*" is over 64 MiB, too long for a translation's text."$ ]] ||
  fail "a pipe over 64 MiB: [$errors]"
# A file whose length the system says is 0 is read to its end all the same.
run --check "$consolefonts/Lat15-VGA8.psf.gz" /proc/self/status
expect_status 0
grep -q '^all [0-9,]* characters of 1 file can be drawn$' "$case_dir/.out" ||
  fail "/proc/self/status: $(cat "$case_dir/.out")"
end

begin "the BDF it writes is what X's, the console's, FontForge and FreeType read"
real_font font.fnt
run --convert font.fnt font.bdf
# FontForge keeps every code, and the font comes back the same.
fontforge -quiet -lang=ff -c 'Open($1); Generate($2, "bdf")' font.bdf forged.bdf >/dev/null 2>&1
run --convert forged-8.bdf forged.fnt
expect_status 0
cmp -s forged.fnt font.fnt || fail "the font came back other through FontForge"
# And as an OpenType bitmap font, in 437 and in 866: its 8x8 strike.
for code_page in 437 866; do
  run --convert --codepage "$code_page" font.fnt "font-$code_page.bdf"
  fontforge -quiet -lang=ff -c 'Open($1); Generate($2)' "font-$code_page.bdf" forged.otb >/dev/null 2>&1
  run --convert --codepage "$code_page" forged.otb forged.fnt
  expect_status 0
  cmp -s forged.fnt font.fnt || fail "the font came back other through FontForge's OTB in $code_page"
done
# An OpenType bitmap font whose 6x8 strike (of 7 pixels to the em, an A
# of two columns) is listed before its 8x8 one (an A all ink): the 8x8 one
# is read.
for strike in "6 7 84" "8 8 FF"; do
  read -r width size row <<<"$strike"
  {
    printf 'STARTFONT 2.1\nFONT -test-strike-Medium-R-Normal--%s-%s0-72-72-C-%s0-ISO10646-1\n' "$size" "$size" "$width"
    printf 'SIZE %s 72 72\nFONTBOUNDINGBOX %s 8 0 -1\nSTARTPROPERTIES 4\nFONT_ASCENT 7\nFONT_DESCENT 1\n' "$size" "$width"
    printf 'CHARSET_REGISTRY "ISO10646"\nCHARSET_ENCODING "1"\nENDPROPERTIES\nCHARS 1\nSTARTCHAR A\nENCODING 65\n'
    printf 'SWIDTH 500 0\nDWIDTH %s 0\nBBX %s 8 0 -1\nBITMAP\n' "$width" "$width"
    for _ in 1 2 3 4 5 6 7 8; do echo "$row"; done
    printf 'ENDCHAR\nENDFONT\n'
  } >"strike$width.bdf"
done
fontforge -quiet -lang=ff -c 'Open($1); Import($2); Generate($3)' strike6.bdf strike8.bdf strikes.otb >/dev/null 2>&1
run --convert strikes.otb strikes.txt
expect_status 0
[[ "$errors" != *"6x8"* ]] || fail "the 6x8 strike was read: $errors"
[ "$(grep -A1 '^0x41$' strikes.txt | tail -1)" = "########" ] || fail "not the 8x8 strike's A"
# An outline font that carries an 8x8 strike is read from the strike: Misaki
# with the console font's glyphs imported as its strike.
/usr/bin/python3 -m fontTools.subset /usr/share/fonts/truetype/misaki/misaki_gothic.ttf \
  --unicodes=U+0020-007E --output-file=misaki.ttf 2>/dev/null
fontforge -quiet -lang=ff -c 'Open($1); Import($2); Generate($3, "ttf")' misaki.ttf font.bdf \
  struck.ttf >/dev/null 2>&1
run --convert struck.ttf struck.fnt
expect_status 0
cmp -s <(tail -c +257 struck.fnt | head -c 760) <(tail -c +257 font.fnt | head -c 760) ||
  fail "the outline font's ASCII is not its strike's"
terminus=/usr/share/fonts/opentype/terminus/terminus-normal.otb
run --show "$terminus"
expect_status 1
expect_errors "${caption}$terminus is an OpenType bitmap font of 6x12, 8x14, 8x16, 10x18, 10x20, 11x22, 12x24, 14x28 and 16x32 strikes, none 8x8."
# FontForge's strike made other: of 2 bits a pixel, refused for it; of 9
# pixels to the em, still 8 high, read; cut in its EBLC; and X's 5x7
# font as a strike, placed in 8x8 cells as the font itself is.
fontforge -quiet -lang=ff -c 'Open($1); Generate($2)' font.bdf plain.otb >/dev/null 2>&1
/usr/bin/python3 -c '
import struct, sys
data = bytearray(open("plain.otb", "rb").read())
for i in range(struct.unpack_from(">H", data, 4)[0]):
    tag, _, eblc, _ = struct.unpack_from(">4sIII", data, 12 + 16 * i)
    if tag == b"EBLC":
        break
record = eblc + 8  # the first strike: its ppem at 45, its bits a pixel at 46
for name, at, value in (("deep", 46, 2), ("ppem9", 45, 9)):
    changed = bytearray(data)
    changed[record + at] = value
    open(name + ".otb", "wb").write(changed)
open("cut.otb", "wb").write(data[:record + 20])'
zcat "$misc/5x7.pcf.gz" >5x7.pcf
pcf2bdf -o 5x7.bdf 5x7.pcf
fontforge -quiet -lang=ff -c 'Open($1); Generate($2)' 5x7.bdf 5x7.otb >/dev/null 2>&1
"$program" --convert 5x7.bdf 5x7.fnt 2>/dev/null
while IFS='|' read -r source status message reference; do
  run --convert "$source" out.fnt
  expect_status "$status"
  [ -z "$message" ] && expect_errors ""
  [ -z "$message" ] || [ "${errors%%$'\n'*}" = "$caption$source $message" ] ||
    fail "stderr was [$errors], expected [$caption$source $message]"
  [ -z "$reference" ] || cmp -s out.fnt "$reference" || fail "$source reads other than $reference"
done <<CASES
deep.otb|1|is an OpenType bitmap font whose 8x8 strike has 2 bits a pixel, not 1.|
ppem9.otb|0||font.fnt
cut.otb|1|is an OpenType font whose bitmap data is damaged.|
5x7.otb|0|has 5x7 glyphs; they are placed in 8x8 cells.|5x7.fnt
CASES
# FreeType draws each character of code page 437 with the glyph at its code
# (Python's 437 has controls where the PC's pictures are).
/usr/bin/python3 "$tests_dir/freetype_ascii.py" font.bdf drawn.fnt cp437
for range in "257 760" "1025 1024"; do
  read -r from count <<<"$range"
  cmp -s <(tail -c +"$from" drawn.fnt | head -c "$count") <(tail -c +"$from" font.fnt | head -c "$count") ||
    fail "FreeType draws other glyphs from byte $from"
done
bdftopcf -o font.pcf font.bdf || fail "bdftopcf refused the BDF"
pcf2bdf -o back.bdf font.pcf
run --convert back.bdf back.fnt
cmp -s back.fnt font.fnt || fail "the font came back other through PCF"
# The default character X and FontForge keep is one of the font's glyphs.
for peer in back.bdf forged-8.bdf; do
  default=$(sed -n 's/^DEFAULT_CHAR \([0-9]*\)$/\1/p' "$peer")
  grep -q "^ENCODING ${default:-none}$" "$peer" || fail "$peer: DEFAULT_CHAR $default names no glyph"
done
bdf2psf font.bdf /usr/share/bdf2psf/standard.equivalents /usr/share/bdf2psf/ascii.set 256 \
  console.psf || fail "bdf2psf refused the BDF"
run --convert console.psf console.fnt
# The console's ASCII set, 0x20 to 0x7E, sits where the font has it.
cmp -s <(tail -c +257 console.fnt | head -c 760) <(tail -c +257 font.fnt | head -c 760) ||
  fail "ASCII came back other through bdf2psf"
end

begin "the TrueType it writes is what FreeType, fontTools, ots and FontForge read, and the program too"
# The console's 8x8 fonts in each code page: written as outlines and as a
# strike, each read back as the font it was written from.
for source in Lat15-VGA8 Lat2-VGA8 CyrSlav-VGA8 Greek-VGA8 cp850-8x8 gr737-8x8; do
  for code_page in 437 850 866 737; do
    "$program" --convert --codepage "$code_page" "$consolefonts/$source.psf.gz" font.fnt 2>/dev/null
    for written in font.ttf font.otb; do
      run --convert --codepage "$code_page" font.fnt "$written"
      expect_status 0
      run --convert --codepage "$code_page" "$written" back.fnt
      expect_status 0
      cmp -s back.fnt font.fnt || fail "$source in $code_page came back other through $written"
    done
  done
done
# FreeType draws each glyph as its pixels (the outlines at 8 and 16 pixels
# to the em); ots, the check browsers make, and FontForge take it without
# a word more than of Misaki; a ttx round trip changes nothing but the
# checksum. (FreeType's auto-hinter, which it gives a TrueType font of no
# instructions, moved pixels of Greek capitals.)
for pair in "Lat15-VGA8 437" "CyrSlav-VGA8 866" "Greek-VGA8 737"; do
  read -r source code_page <<<"$pair"
  "$program" --convert --codepage "$code_page" "$consolefonts/$source.psf.gz" font.fnt 2>/dev/null
  run --convert --codepage "$code_page" font.fnt "game $code_page.ttf"
  run --convert --codepage "$code_page" font.fnt "game $code_page.otb"
  for check in "ttf 8" "ttf 16" "otb 8"; do
    read -r extension size <<<"$check"
    /usr/bin/python3 "$tests_dir/truetype_peers.py" "game $code_page.$extension" font.fnt "$size" \
      "game $code_page 8x8 CP$code_page" || fail "peers read game $code_page.$extension other"
  done
  ots-sanitize "game $code_page.ttf" >/dev/null || fail "ots refused game $code_page.ttf"
done
fontforge -quiet -lang=ff -c 'Open($1)' /usr/share/fonts/truetype/misaki/misaki_gothic.ttf 2>misaki.said
for forged in "game 437.ttf" "game 437.otb"; do
  fontforge -quiet -lang=ff -c 'Open($1)' "$forged" 2>forged.said
  cmp -s forged.said misaki.said || fail "FontForge said of $forged: $(cat forged.said)"
done
/usr/bin/python3 -m fontTools.ttx -q -o a.ttx "game 437.ttf" 2>ttx.said &&
  /usr/bin/python3 -m fontTools.ttx -q --no-recalc-timestamp -o b.ttf a.ttx 2>>ttx.said &&
  /usr/bin/python3 -m fontTools.ttx -q -o b.ttx b.ttf 2>>ttx.said || fail "ttx failed"
[ ! -s ttx.said ] || fail "ttx said: $(cat ttx.said)"
diff <(grep -v checkSumAdjustment a.ttx) <(grep -v checkSumAdjustment b.ttx) >/dev/null ||
  fail "the ttx round trip changed the font"
end

begin "every font file of Debian's font packages is read, or refused for its reason"
# What the program makes of each font file these packages ship, counted by
# outcome: read (with what it tells), or refused (with its reason), the
# file's name written NAME. debian_fonts.txt holds the counts; a count
# moves only with its reason given in the commit that moves it.
packages=(console-setup-linux console-data xfonts-base fonts-spleen
  fonts-dejavu-core fonts-wine unifont fonts-unifont)
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
    fail "$package is not installed (scripts/packages.sh lists it)"
done
dpkg -L "${packages[@]}" 2>/dev/null |
  grep -E '^/usr/share/(consolefonts|fonts|wine/fonts)/|^/usr/share/unifont/.*\.(hex|bmp\.gz)$' |
  LC_ALL=C sort -u >files
while read -r file; do
  [ -f "$file" ] || continue
  run --show "$file" </dev/null
  outcome=${errors//"$file"/NAME}
  outcome=${outcome//"$caption"/}
  outcome=${outcome//$'\n'/ | }
  if [ "$status" = 0 ]; then
    echo "read${outcome:+: $outcome}"
  else
    echo "refused: $outcome"
  fi
done <files | LC_ALL=C sort | uniq -c | sed 's/^ *//' | LC_ALL=C sort -k1,1nr -k2 >found
grep -v '^#' "$tests_dir/debian_fonts.txt" >expected
diff expected found >changes || fail "the counts moved (< expected, > found):
$(cat changes)"
end

begin "--show draws with the characters the locale has"
real_font font.fnt
LC_ALL= LANG=C.UTF-8 run --show font.fnt
expect_status 0
[ "$(wc -l <.out)" = 65 ] || fail "$(wc -l <.out) lines of blocks"
grep -q '█' .out || fail "no blocks drawn"
LC_ALL= LC_CTYPE= LANG=C run --show font.fnt
[ "$(wc -l <.out)" = 289 ] || fail "$(wc -l <.out) lines of # and ."
[ "$(awk '{ if (length > widest) widest = length } END { print widest }' .out)" -le 80 ] ||
  fail "wider than 80 columns"
grep -q '^0x40 ' .out || fail "no row labelled 0x40"
# Into a pipe closed before the end: a plain failure, no signal.
timeout "$wait_bound" "$program" --show font.fnt | head -c 10 >/dev/null
[ "${PIPESTATUS[0]}" -le 1 ] || fail "ended by a signal: ${PIPESTATUS[0]}"
end

# copy_program: a copy of the program in the case's folder, kept pristine.
copy_program() {
  mkdir -p tool
  cp "$program" tool/zyr2font
  cp tool/zyr2font tool/zyr2font.orig
}

# expect_block PROGRAM FONT BASE: the program is BASE and one block of FONT.
expect_block() {
  local base_length
  base_length=$(stat -c %s "$3")
  [ "$(stat -c %s "$1")" = $((base_length + 2056)) ] || fail "$1 did not grow by 2056"
  cmp -s -n "$base_length" "$3" "$1" || fail "$1 lost its own bytes"
  cmp -s <(tail -c 2056 "$1" | head -c 8) <(printf '\003SFX\010\010\000\010') ||
    fail "$1 does not end in a marker"
  cmp -s <(tail -c 2048 "$1") <(head -c 2048 "$2") || fail "$1 carries another font"
}

expect_no_copies() {
  [ -z "$(ls -A tool | grep -v '^zyr2font\(.orig\)\?$')" ] ||
    fail "left in tool/: $(ls -A tool)"
}

begin "attach, then patch without arguments or font file"
copy_program
make_font my.fnt 3000
run_as "" tool/zyr2font /A:my.fnt
expect_status 0
expect_errors ""
expect_block tool/zyr2font my.fnt tool/zyr2font.orig
[ "$(stat -c %a tool/zyr2font)" = 755 ] || fail "permissions changed"
expect_no_copies
mkdir game
make_file game/ZYR2.EXE 616448
head -c 2048 my.fnt >first2048.fnt
(cd game && run_as "" ../tool/zyr2font)
expect_status 0
expect_errors ""
expect_patched game/ZYR2.EXE 514100 first2048.fnt
end

begin "attaching twice: the last font wins"
copy_program
make_font one.fnt
make_font two.fnt
run_as "" tool/zyr2font /A:one.fnt
cp tool/zyr2font once
run_as "" tool/zyr2font /A:two.fnt
expect_status 0
expect_block tool/zyr2font two.fnt once
make_file ZYR2.DOS 928799
run_as "" tool/zyr2font
expect_status 0
expect_patched ZYR2.DOS 881700 two.fnt
end

begin "no font attached"
copy_program
make_file ZYR2.EXE 597504
run_as "" tool/zyr2font
expect_status 1
expect_errors "${caption}The program's executable file doesn't contain the font
The font was looked for as ZYR2.FNT in the current folder: name your font and the game folder: zyr2font \"FONT\" \"GAME FOLDER\""
expect_unchanged ZYR2.EXE
expect_unchanged tool/zyr2font
end

begin "attach refuses a missing or short font"
copy_program
run_as "" tool/zyr2font /A:missing.fnt
expect_status 1
expect_errors "${caption}Font file not found"
make_font short.fnt 2047
run_as "" tool/zyr2font /A:short.fnt
expect_status 1
expect_errors "${caption}Font is not 8x8, or is compressed"
run_as "" tool/zyr2font /a:short.fnt
expect_errors "${caption}Incorrect parameter format"
expect_unchanged tool/zyr2font
expect_no_copies
end

begin "attach in a folder that cannot be written"
copy_program
chmod 755 tool
chmod 777 tool/zyr2font
make_font my.fnt
run_as nobody tool/zyr2font /A:my.fnt
expect_status 1
expect_errors "${caption}The font could not be attached to the program's executable file.
You may not write in $case_dir/tool: its permissions do not allow it."
expect_unchanged tool/zyr2font
expect_no_copies
end

begin "attach beyond a file-size limit"
copy_program
make_font my.fnt
(ulimit -f 100 && run_as "" tool/zyr2font /A:my.fnt && echo "$status" >.status)
status=$(cat .status)
errors=$(cat .err)
expect_status 1
expect_errors "${caption}The font could not be attached to the program's executable file.
zyr2font would reach past the file-size limit the program runs under: raise the limit, then try again."
expect_unchanged tool/zyr2font
expect_no_copies
end

begin "attach takes the font a file holds, in any format"
copy_program
real_font font.fnt
cp "$consolefonts/Lat15-VGA8.psf.gz" packed.psf.gz
zcat packed.psf.gz >plain.psf
make_file game/ZYR2.EXE 597504
dd if=font.fnt of=game/ZYR2.EXE bs=1 seek=497968 conv=notrunc status=none
cp tool/zyr2font other
run_as "" ./other /A:font.fnt
# Every command reads the whole file: a text font after more blank lines
# than 2048 bytes, and a FON whose NE header lies past them.
"$program" --convert font.fnt glyphs.txt
{ yes '' | head -n 2100; cat glyphs.txt; } >blank-lines.txt
for font in packed.psf.gz plain.psf game/ZYR2.EXE other blank-lines.txt; do
  cp tool/zyr2font.orig tool/zyr2font
  run_as "" tool/zyr2font "/A:$font"
  expect_status 0
  expect_errors ""
  expect_block tool/zyr2font font.fnt tool/zyr2font.orig
done
# A font placed by a code page, attached, says how many codes got a glyph.
misaki=/usr/share/fonts/truetype/misaki/misaki_gothic.ttf
"$program" --convert "$misaki" misaki.fnt 2>/dev/null
cp tool/zyr2font.orig tool/zyr2font
run_as "" tool/zyr2font "/A:$misaki"
expect_status 0
expect_errors "${caption}$misaki: 154 of 256 codes have a glyph in code page 437."
expect_block tool/zyr2font misaki.fnt tool/zyr2font.orig
# A pipe is read to its end.
cp tool/zyr2font.orig tool/zyr2font
run_as "" tool/zyr2font /A:<(cat font.fnt)
expect_status 0
expect_errors ""
expect_block tool/zyr2font font.fnt tool/zyr2font.orig
/usr/bin/python3 "$tests_dir/long_stub_fon.py" /usr/share/wine/fonts/smalle.fon long.fon
cp tool/zyr2font.orig tool/zyr2font
for form in /A:long.fon "long.fon game"; do
  # shellcheck disable=SC2086
  run_as "" tool/zyr2font $form
  expect_status 1
  expect_errors "${caption}long.fon is a Windows font file of 9x11 glyphs, none 8x8."
done
cmp -s tool/zyr2font tool/zyr2font.orig || fail "a refused font was attached"
end

begin "the program's own path is taken exactly as the system gives it"
mkdir -p 'x\y' x/y
cp "$program" 'x\y/zyr2font'
cp "$program" x/y/zyr2font
cp "$program" x/y/zyr2font.orig
make_font my.fnt
run_as "" 'x\y/zyr2font' /A:my.fnt
expect_status 0
expect_block 'x\y/zyr2font' my.fnt "$program"
expect_unchanged x/y/zyr2font
make_file ZYR2.EXE 597504
run_as "" 'x\y/zyr2font'
expect_status 0
expect_patched ZYR2.EXE 497968 my.fnt
end

begin "a program removed while it runs still reads its own font"
copy_program
make_font my.fnt
run_as "" tool/zyr2font /A:my.fnt
make_file ZYR2.EXE 597504
# Held at its first open (of ./ZYR2.FNT) while its file goes away: it goes
# once the program is seen there (openat is system call 257).
strace -f -qq -o /dev/null -e trace=openat \
  -e inject=openat:delay_enter=3000000:when=1 tool/zyr2font 2>.err &
tracer=$!
held() {
  local traced
  traced=$(pgrep -P "$tracer")
  [ -n "$traced" ] && [ "$(cut -d' ' -f1 "/proc/$traced/syscall" 2>/dev/null)" = 257 ]
}
wait_until "the program to be held at its first open" held
rm tool/zyr2font
wait $tracer
status=$?
errors=$(cat .err)
expect_status 0
expect_errors ""
expect_patched ZYR2.EXE 497968 my.fnt
end

begin "without /proc: messages, never a crash"
if [ "$sanitized" = 1 ]; then
  echo "  (skipped: the sanitizers' runtime needs /proc itself)"
elif unshare -rm true 2>/dev/null; then
  copy_program
  make_font my.fnt
  make_file ZYR2.EXE 597504
  unshare -rm sh -c 'mount -t tmpfs none /proc &&
    { "$0" /A:my.fnt 2>attach.err; echo $? >attach.status;
      "$0" 2>run.err; echo $? >run.status; }' tool/zyr2font
  status=$(cat attach.status)
  errors=$(cat attach.err)
  expect_status 1
  expect_errors "${caption}The font could not be attached to the program's executable file."
  status=$(cat run.status)
  errors=$(cat run.err)
  expect_status 1
  expect_errors "${caption}The program's executable file doesn't contain the font
The font was looked for as ZYR2.FNT in the current folder: name your font and the game folder: zyr2font \"FONT\" \"GAME FOLDER\""
  expect_unchanged tool/zyr2font
  expect_unchanged ZYR2.EXE
else
  echo "  (no private mount namespace here)"
fi
end

begin "twenty attaches at once all land"
copy_program
pids=()
for i in $(seq 1 20); do
  make_font "font$i.fnt"
  tool/zyr2font "/A:font$i.fnt" 2>"err$i" &
  pids+=($!)
done
for pid in "${pids[@]}"; do
  wait "$pid" || fail "an attach failed: $(cat err*)"
done
base_length=$(stat -c %s tool/zyr2font.orig)
[ "$(stat -c %s tool/zyr2font)" = $((base_length + 20 * 2056)) ] ||
  fail "the program holds $(( ($(stat -c %s tool/zyr2font) - base_length) / 2056 )) blocks"
cmp -s -n "$base_length" tool/zyr2font.orig tool/zyr2font || fail "the program lost its own bytes"
blocks=$(for i in $(seq 0 19); do
  tail -c +$((base_length + i * 2056 + 1)) tool/zyr2font | head -c 2056 | tail -c 2048 | md5sum
done | sort)
[ "$blocks" = "$(for i in $(seq 1 20); do md5sum <"font$i.fnt"; done | sort)" ] ||
  fail "the blocks are not the twenty fonts, once each"
expect_no_copies
end

signal_number() {
  kill -l "$1"
}

for name in INT TERM HUP; do
  begin "SIG$name during an attach removes the copy"
  copy_program
  make_font my.fnt
  # Sent as the copy, written whole, is flushed. (Through sh, whose report
  # of the signal goes nowhere.)
  sh -c 'strace -f -qq -o /dev/null -e trace=fsync -e inject=fsync:signal="$0":when=1 \
    tool/zyr2font /A:my.fnt; echo $? >.status' "$name" 2>/dev/null
  status=$(cat .status)
  expect_status $((128 + $(signal_number "$name")))
  expect_unchanged tool/zyr2font
  expect_no_copies
  end
done

begin "a copy left by a killed attach goes with the next attach"
copy_program
make_font one.fnt
make_font two.fnt
sh -c 'strace -f -qq -o /dev/null -e trace=fsync -e inject=fsync:signal=KILL:when=1 \
  tool/zyr2font /A:one.fnt' 2>/dev/null
[ -n "$(ls -A tool | grep zyr2font-)" ] || fail "the killed attach left no copy"
run_as "" tool/zyr2font /A:two.fnt
expect_status 0
expect_block tool/zyr2font two.fnt tool/zyr2font.orig
expect_no_copies
end

begin "attach refuses a program its user may not write"
copy_program
chmod 777 tool
make_font my.fnt
for mode in 555 755; do
  # 755 and owned by root: nobody may not write it, though the folder would
  # let it rename.
  chmod "$mode" tool/zyr2font
  run_as nobody tool/zyr2font /A:my.fnt
  expect_status 1
  expect_errors "${caption}The font could not be attached to the program's executable file.
You may not change zyr2font: its permissions do not allow it."
  expect_unchanged tool/zyr2font
  expect_no_copies
done
end

begin "the new program keeps mode, owner and attributes"
copy_program
make_font my.fnt
chmod 750 tool/zyr2font
chown nobody tool/zyr2font
setfattr -n user.origin -v zyr2 tool/zyr2font
run_as "" tool/zyr2font /A:my.fnt
expect_status 0
expect_block tool/zyr2font my.fnt tool/zyr2font.orig
[ "$(stat -c '%a %U' tool/zyr2font)" = "750 nobody" ] ||
  fail "mode and owner are $(stat -c '%a %U' tool/zyr2font)"
[ "$(getfattr --only-values -n user.origin tool/zyr2font 2>/dev/null)" = zyr2 ] ||
  fail "the extended attribute was lost"
end

begin "attach where the kernel cannot copy: through a buffer"
copy_program
head -c $((3 * 1024 * 1024)) /dev/urandom >>tool/zyr2font
cp tool/zyr2font tool/zyr2font.orig
make_font my.fnt
run_as "" strace -f -qq -o /dev/null -e trace=copy_file_range \
  -e inject=copy_file_range:error=EXDEV tool/zyr2font /A:my.fnt
expect_status 0
expect_block tool/zyr2font my.fnt tool/zyr2font.orig
expect_no_copies
end

begin "attach to a program larger than the memory limit"
[ "$sanitized" = 1 ] && echo "  (skipped: a sanitized build cannot run under a memory limit)"
[ "$sanitized" = 1 ] || {
copy_program
head -c $((64 * 1024 * 1024)) /dev/zero >>tool/zyr2font
cp tool/zyr2font tool/zyr2font.orig
make_font my.fnt
run_as "" prlimit --as=$((32 * 1024 * 1024)) tool/zyr2font /A:my.fnt
expect_status 0
expect_errors ""
expect_block tool/zyr2font my.fnt tool/zyr2font.orig
}
end

begin "a full file system"
if unshare -rm true 2>/dev/null; then
  mkdir fs
  unshare -rm bash "$tests_dir/full_disk.sh" "$program" "$case_dir/fs" "$case_dir"
  status=$(cat patch.status)
  errors=$(cat patch.err)
  expect_status 1
  expect_errors "${caption}ZYR2.EXE could not be written.
The disk ZYR2.EXE is on is full: make room for 2,048 bytes on it, then try again."
  [ "$(cat target.changed)" = 0 ] || fail "the target was changed"
  status=$(cat attach.status)
  errors=$(cat attach.err)
  expect_status 1
  # The new program's room: the program and a font block of 2,056 bytes.
  room=$(($(stat -c %s "$program") + 2056))
  expect_errors "${caption}The font could not be attached to the program's executable file.
The disk zyr2font is on is full: make room for $(echo "$room" | sed ':a;s/\B[0-9]\{3\}\>/,&/;ta') bytes on it, then try again."
  [ "$(cat program.changed)" = 0 ] || fail "the program was changed"
  [ "$(cat files | tr '\n' ' ')" = "ZYR2.EXE ZYR2.FNT fill zyr2font zyr2font.orig " ] ||
    fail "files left: $(cat files | tr '\n' ' ')"
else
  echo "  (no private mount namespace here: tested through the fake platform only)"
fi
end

finish
