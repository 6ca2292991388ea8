#!/usr/bin/env bash
# allot's command line with no display at all: --help, -h, --version and -v print on standard
# output and exit 0; an unknown option or a stray argument is a usage error, status 2. None of
# them starts Allot or makes a store. Usage: command_line_test.sh ALLOT_PROGRAM
set -u
allot=$1
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
failures=0

# expect STATUS PATTERN ARGUMENT...: the status, and a line of the output matching PATTERN
# (standard output for status 0, standard error otherwise).
expect() {
  local status=$1 pattern=$2 output got
  shift 2
  if [ "$status" -eq 0 ]; then
    output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_DATA_HOME="$data" \
      "$allot" "$@" 2>/dev/null)
  else
    output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_DATA_HOME="$data" \
      "$allot" "$@" 2>&1 >/dev/null)
  fi
  got=$?
  if [ "$got" -ne "$status" ] || ! grep -q -- "$pattern" <<<"$output"; then
    echo "FAIL: allot $*: status $got (expected $status), output: $output"
    failures=$((failures + 1))
  fi
}

expect 0 '^Usage: .*allot \[options\]' --help
expect 0 '^  -v, --version' -h
expect 0 '^allot [0-9]\+\.[0-9]\+\.[0-9]\+$' --version
expect 0 '^allot [0-9]' -v
expect 2 "Unknown option 'bogus'" --bogus
expect 2 "unexpected argument 'budget.txt'" budget.txt
expect 2 "Missing value after '-platform'" -platform
if [ -n "$(ls -A "$data")" ]; then
  echo "FAIL: the command line made files: $(ls -A "$data")"
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ]
