#!/usr/bin/env bash
# Installs what is missing, builds Allot (configuring only when there is no build yet or the
# presets changed, with one job per core, and says how long the build took) and starts it.
# Without a display it serves the window to this machine only, to a browser and to VNC viewers,
# behind a password made up for each start (scripts/serve-headless.sh says where and how).
set -euo pipefail
cd "$(dirname "$0")/.."

headless=false
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  headless=true
fi
if $headless; then bash scripts/setup.sh app serve; else bash scripts/setup.sh app; fi

if [ ! -f build/app/build.ninja ] || [ CMakePresets.json -nt build/app/CMakeCache.txt ]; then
  cmake --preset app
fi
SECONDS=0
cmake --build --preset app --target allot -j "$(nproc)"
echo "Built in ${SECONDS} s."

if $headless; then exec bash scripts/serve-headless.sh build/app/app/allot "$@"; fi
exec build/app/app/allot "$@"
