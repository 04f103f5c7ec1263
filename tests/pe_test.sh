#!/usr/bin/env bash
# Reads a Windows program's PE file, without running it: it imports only
# Windows' own DLLs, and only functions that the oldest Windows it is for
# exports, asking for no newer Windows than that: a 32-bit program Windows
# XP SP3's (tests/xp_exports.txt, 5.01), a 64-bit one Windows XP x64's
# (the same and tests/xp64_exports.txt, 5.02). Usage: pe_test.sh
# PATH/TO/zyr2font.exe
set -u
tests_dir=$(cd "$(dirname "$0")" && pwd)
. "$tests_dir/test_lib.sh"
program=$1

begin "imports only Windows' own DLLs, and only what the oldest Windows it is for has"
imports=$(x86_64-w64-mingw32-objdump -p "$program" | awk '/DLL Name:/ {dll = tolower($3); next}
  dll && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print dll, $3}' | sort -u)
dlls=$(awk '{print $1}' <<<"$imports" | sort -u | tr '\n' ' ')
[ "$dlls" = "advapi32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll " ] || fail "imports $dlls"
if x86_64-w64-mingw32-objdump -f "$program" | grep -q pei-i386; then
  windows="Windows XP SP3" lists=("$tests_dir/xp_exports.txt") newest=501
else
  windows="Windows XP x64" lists=("$tests_dir/xp_exports.txt" "$tests_dir/xp64_exports.txt") newest=502
fi
missing=$(comm -23 <(echo "$imports") <(cat "${lists[@]}" | grep -v '^#' | sort))
if [ -z "$missing" ]; then
  echo "  $(wc -l <<<"$imports") functions imported, each one in $windows"
else
  fail "not in $windows: $(echo $missing)"
fi
subsystem=$(x86_64-w64-mingw32-objdump -p "$program" |
  awk '/MajorSubsystemVersion/ {major = $2} /MinorSubsystemVersion/ {minor = $2}
    END {print major * 100 + minor}')
[ "$subsystem" -le "$newest" ] || fail "needs Windows $subsystem (as major * 100 + minor)"
end

finish
