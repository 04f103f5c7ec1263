# Sourced by the end-to-end tests: a temporary folder, cases that each run
# in a fresh folder of their own, and checks on the files they leave.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"

passed=0
failed=0
case_dir=
case_name=

caption='ZYR 2 Font Replacer: '
summary="${caption}None of the game files were found or processed.
Make sure you specified the right path, and you have a supported version of ZYR 2.

For a list of supported versions, check the README.TXT file."

# Starts a case in a fresh folder, which is also the current one.
begin() {
  case_name=$1
  case_dir=$work/case$((passed + failed))
  mkdir -m 755 "$case_dir"
  cd "$case_dir" || exit 1
  case_ok=1
}

fail() {
  echo "  $case_name: $*"
  case_ok=0
}

end() {
  if [ "$case_ok" = 1 ]; then
    passed=$((passed + 1))
    echo "ok - $case_name"
  else
    failed=$((failed + 1))
    echo "FAIL - $case_name"
  fi
  cd "$work" || exit 1
}

# make_file PATH LENGTH: random bytes, with a pristine copy beside the case.
make_file() {
  mkdir -p "$(dirname "$1")"
  head -c "$2" /dev/urandom >"$1"
  cp "$1" "$1.orig"
}

make_font() {
  mkdir -p "$(dirname "$1")"
  head -c "${2:-2048}" /dev/urandom >"$1"
}

expect_status() {
  [ "$status" = "$1" ] || fail "exit status $status, expected $1"
}

expect_errors() {
  [ "$errors" = "$1" ] || fail "stderr was [$errors], expected [$1]"
}

# expect_patched FILE OFFSET FONT: the font at the offset, all else as it was.
expect_patched() {
  cp "$1.orig" "$case_dir/.expected"
  dd if="$3" of="$case_dir/.expected" bs=2048 seek="$2" oflag=seek_bytes \
    conv=notrunc status=none
  cmp -s "$case_dir/.expected" "$1" || fail "$1 is not patched at $2"
}

expect_unchanged() {
  cmp -s "$1.orig" "$1" || fail "$1 was changed"
}

# The one bound on every wait, in seconds: generous, for a machine busy with
# other work. Waits end on what a program does, never on time alone: the
# bound only turns a wait that never ends into a failure.
wait_bound=120

# wait_until WHAT COMMAND...: runs COMMAND until it succeeds; past the
# bound, fails the case saying what was awaited.
wait_until() {
  local what=$1
  shift
  local end=$((SECONDS + wait_bound))
  until "$@"; do
    if [ "$SECONDS" -ge "$end" ]; then
      fail "waited $wait_bound s for $what"
      return 1
    fi
    sleep 0.1
  done
}

# Closes the run: the count line, and the exit status.
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" = 0 ]
}
