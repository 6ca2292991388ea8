#!/usr/bin/env bash
# Builds the Debian package of Allot from the release build, reusing it when there is one (only
# the program, its manual page and the package's documents are brought up to date), and checks
# it: the files it carries, lintian with no error and no warning, AppStream's validator, a
# hardened program without RUNPATH. Then installs it with dpkg (pulling missing dependencies with
# apt), runs /usr/bin/allot offscreen on a scratch data folder, stops it with SIGTERM, checks
# that it exited cleanly and wrote its store, and removes the package. Needs root (or sudo) and
# refuses to run when allot is already installed, so as not to remove someone's own copy.
# Usage: scripts/check-package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if dpkg-query -W -f='${Status}' allot 2>/dev/null | grep -q 'install ok installed'; then
  echo "allot is already installed; remove it first (dpkg -r allot)" >&2
  exit 1
fi
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

bash scripts/setup.sh package
[ -f "$build/build.ninja" ] || cmake --preset release >/dev/null
cmake --build "$build" --target allot allot_manual allot_package_docs -j "$(nproc)"
rm -f "$build"/allot_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/allot_*.deb)
echo "== $deb"
dpkg-deb --field "$deb" Package Version Depends Recommends

# The program with its manual page, desktop entry, icon and AppStream metadata, the two documents
# every package carries and the reasons for lintian: no tests, tools or benchmarks.
files=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $NF}' | sort)
expected="./usr/bin/allot
./usr/share/applications/allot.desktop
./usr/share/doc/allot/changelog.Debian.gz
./usr/share/doc/allot/copyright
./usr/share/icons/hicolor/scalable/apps/allot.svg
./usr/share/lintian/overrides/allot
./usr/share/man/man1/allot.1.gz
./usr/share/metainfo/org.example.allot.metainfo.xml"
[ "$files" = "$expected" ] || fail "unexpected files in the package:"$'\n'"$files"

lintian --fail-on error,warning --tag-display-limit 0 "$deb" || fail "lintian found problems"
appstreamcli validate --no-net app/resources/org.example.allot.metainfo.xml

scratch=$(mktemp -d)
cleanup() {
  "${sudo_cmd[@]}" dpkg -r allot >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# Hardened as Debian builds its packages: position-independent, bound at once, read-only
# relocations, stack protector and fortified calls, and no RUNPATH.
dpkg-deb --extract "$deb" "$scratch/package"
program="$scratch/package/usr/bin/allot"
readelf -h "$program" | grep -q 'Type: *DYN' || fail "allot is not position-independent"
dynamic=$(readelf -d "$program")
grep -q 'BIND_NOW' <<<"$dynamic" || fail "allot is not bound at once (-z now)"
! grep -Eq 'RUNPATH|RPATH' <<<"$dynamic" || fail "allot has a RUNPATH"
readelf -lW "$program" | grep -q GNU_RELRO || fail "allot has no RELRO segment"
symbols=$(readelf --dyn-syms -W "$program")
grep -q '__stack_chk_fail' <<<"$symbols" || fail "allot has no stack protector"
grep -q '__[a-z]*_chk@' <<<"$symbols" || fail "allot has no fortified calls"

if ! "${sudo_cmd[@]}" dpkg -i "$deb"; then
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -f -y -qq
fi
dpkg-query -W -f='${Status}\n' allot | grep -q 'install ok installed'
env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/allot --version

mkdir -m 700 "$scratch/runtime"
QT_QPA_PLATFORM=offscreen XDG_DATA_HOME="$scratch" XDG_RUNTIME_DIR="$scratch/runtime" /usr/bin/allot &
pid=$!
sleep 3
if ! kill -TERM "$pid" 2>/dev/null; then
  wait "$pid" || true
  fail "/usr/bin/allot ended before it was asked to"
fi
status=0
wait "$pid" || status=$?
store="$scratch/allot/defaults.sqlite3"
[ "$status" -eq 0 ] || fail "/usr/bin/allot exited with status $status after SIGTERM"
[ "$(head -c 15 "$store" 2>/dev/null)" = "SQLite format 3" ] || fail "no SQLite store at $store"

"${sudo_cmd[@]}" dpkg -r allot >/dev/null
[ ! -e /usr/bin/allot ] || fail "/usr/bin/allot is still there after dpkg -r"
echo "OK: lintian-clean and hardened; installed, started, exited 0 on SIGTERM with its store" \
     "written, removed"
