#!/usr/bin/env bash
# Builds the Debian package of Allot and proves that it installs and starts on this machine:
# installs it with dpkg (pulling missing dependencies with apt), runs /usr/bin/allot offscreen on a
# scratch data folder for a few seconds, stops it with SIGTERM, checks that it exited cleanly and
# wrote its store, then removes the package. Needs root (or sudo) and refuses to run when allot is
# already installed, so as not to remove someone's own copy. Not part of the tests.
# Usage: scripts/check-package.sh [BUILD_DIR]   (default build/pkg)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/pkg}

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if dpkg-query -W -f='${Status}' allot 2>/dev/null | grep -q 'install ok installed'; then
  echo "allot is already installed; remove it first (dpkg -r allot)" >&2
  exit 1
fi

bash scripts/setup.sh app
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DALLOT_BUILD_TESTS=OFF \
  -DALLOT_BUILD_BENCH=OFF -DALLOT_BUILD_QT=ON >/dev/null
cmake --build "$build" -j2
rm -f "$build"/allot_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/allot_*.deb)
echo "== $deb"
dpkg-deb --field "$deb" Package Version Depends

# Only the program, its desktop entry and its icon: no tests, tools or benchmarks.
files=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $NF}' | sort)
expected=$'./usr/bin/allot\n./usr/share/applications/allot.desktop\n./usr/share/icons/hicolor/scalable/apps/allot.svg'
if [ "$files" != "$expected" ]; then
  echo "unexpected files in the package:" >&2
  echo "$files" >&2
  exit 1
fi

scratch=$(mktemp -d)
cleanup() {
  "${sudo_cmd[@]}" dpkg -r allot >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap cleanup EXIT

if ! "${sudo_cmd[@]}" dpkg -i "$deb"; then
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -f -y -qq
fi
dpkg-query -W -f='${Status}\n' allot | grep -q 'install ok installed'

mkdir -m 700 "$scratch/runtime"
QT_QPA_PLATFORM=offscreen XDG_DATA_HOME="$scratch" XDG_RUNTIME_DIR="$scratch/runtime" /usr/bin/allot &
pid=$!
sleep 3
if ! kill -TERM "$pid" 2>/dev/null; then
  wait "$pid" || true
  echo "FAIL: /usr/bin/allot ended before it was asked to" >&2
  exit 1
fi
status=0
wait "$pid" || status=$?
store="$scratch/allot/defaults.sqlite3"
if [ "$status" -ne 0 ]; then
  echo "FAIL: /usr/bin/allot exited with status $status after SIGTERM" >&2
  exit 1
fi
if [ "$(head -c 15 "$store" 2>/dev/null)" != "SQLite format 3" ]; then
  echo "FAIL: no SQLite store at $store" >&2
  exit 1
fi

"${sudo_cmd[@]}" dpkg -r allot >/dev/null
if [ -e /usr/bin/allot ]; then
  echo "FAIL: /usr/bin/allot is still there after dpkg -r" >&2
  exit 1
fi
echo "OK: installed, started, exited 0 on SIGTERM with its store written, removed"
