#!/usr/bin/env bash
# allot's command line with no display at all: --help, -h, --version and -v print on standard
# output and exit 0; an unknown option, a stray argument or a platform plugin that would not show
# the window on this machine alone (named by -platform or QT_QPA_PLATFORM) is a usage error,
# status 2. None of them starts Allot or makes a store or a socket.
# Usage: command_line_test.sh ALLOT_PROGRAM
set -u
allot=$1
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
failures=0

# expect STATUS PATTERN [QT_QPA_PLATFORM=VALUE] ARGUMENT...: the status, and a line of the
# output matching PATTERN (standard output for status 0, standard error otherwise).
expect() {
  local status=$1 pattern=$2 output got platform=()
  shift 2
  if [[ $# -gt 0 && $1 == QT_QPA_PLATFORM=* ]]; then
    platform=("$1")
    shift
  fi
  local run=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_DATA_HOME="$data"
    XDG_RUNTIME_DIR="$data" "${platform[@]}" "$allot" "$@")
  if [ "$status" -eq 0 ]; then
    output=$("${run[@]}" 2>/dev/null)
  else
    output=$("${run[@]}" 2>&1 >/dev/null)
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
expect 2 '^allot: the platform "vnc" would show the window to other machines' -platform vnc
expect 2 '"webgl" would show' --platform=webgl
expect 2 '"vnc" would show' QT_QPA_PLATFORM='offscreen:fontengine=freetype;VNC:size=800x600'
expect 2 '"bogus" is not one that shows the window on this machine' \
  QT_QPA_PLATFORM='wayland-egl;xcb' -platform bogus
if [ -n "$(ls -A "$data")" ]; then
  echo "FAIL: the command line made files: $(ls -A "$data")"
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ]
