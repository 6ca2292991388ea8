#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Allot need, and only those that
# are missing. Runs as root on Debian 12 (or with sudo available). Usage: setup.sh [core|app|all]
set -euo pipefail

what=${1:-all}
core_packages=(
  build-essential cmake ninja-build pkg-config
  libicu-dev libsqlite3-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
)
# The Qt Quick window: Qt 6 with the QML modules the screens import, the platform plugins
# (xcb for a desktop, offscreen for tests, vnc without a display) and the SVG icon loader.
screen_packages=(
  qt6-base-dev qt6-declarative-dev qt6-qpa-plugins libqt6svg6 libgl-dev
  qml6-module-qtqml qml6-module-qtqml-workerscript qml6-module-qtquick
  qml6-module-qtquick-controls qml6-module-qtquick-layouts qml6-module-qtquick-templates
  qml6-module-qtquick-window fonts-dejavu-core
)
# Sanitizer and fuzzing builds (scripts/hardening.sh): clang with libFuzzer and the sanitizer
# runtimes, and llvm-symbolizer for readable reports.
hardening_packages=(clang libclang-rt-14-dev llvm-14)
packages=("${core_packages[@]}")
if [ "$what" = app ] || [ "$what" = all ]; then packages+=("${screen_packages[@]}"); fi
if [ "$what" = all ]; then packages+=("${hardening_packages[@]}"); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ "${#missing[@]}" -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}"
