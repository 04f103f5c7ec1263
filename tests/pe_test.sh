#!/usr/bin/env bash
# Reads a Windows program's PE file, without running it: it imports only
# Windows' own DLLs, and a 32-bit one only functions that Windows XP SP3
# exports (tests/xp_exports.txt) and asks for no newer Windows than XP's
# 5.01. Usage: pe_test.sh PATH/TO/zyr2font.exe
set -u
tests_dir=$(cd "$(dirname "$0")" && pwd)
. "$tests_dir/test_lib.sh"
program=$1

begin "imports only Windows' own DLLs; a 32-bit program only what XP SP3 has"
imports=$(x86_64-w64-mingw32-objdump -p "$program" | awk '/DLL Name:/ {dll = tolower($3); next}
  dll && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print dll, $3}' | sort -u)
dlls=$(awk '{print $1}' <<<"$imports" | sort -u | tr '\n' ' ')
[ "$dlls" = "advapi32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll " ] || fail "imports $dlls"
if x86_64-w64-mingw32-objdump -f "$program" | grep -q pei-i386; then
  missing=$(comm -23 <(echo "$imports") <(grep -v '^#' "$tests_dir/xp_exports.txt" | sort))
  if [ -z "$missing" ]; then
    echo "  $(wc -l <<<"$imports") functions imported, each one in Windows XP SP3"
  else
    fail "not in Windows XP SP3: $(echo $missing)"
  fi
  subsystem=$(x86_64-w64-mingw32-objdump -p "$program" |
    awk '/MajorSubsystemVersion/ {major = $2} /MinorSubsystemVersion/ {minor = $2}
      END {print major * 100 + minor}')
  [ "$subsystem" -le 501 ] || fail "needs Windows $subsystem (as major * 100 + minor)"
fi
end

finish
