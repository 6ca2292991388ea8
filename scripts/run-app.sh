#!/usr/bin/env bash
# Installs what is missing, builds Allot and starts it. Without a display it serves the window
# over VNC on port 5900 (ALLOT_VNC_PORT to change it) and says where.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh app
cmake --preset app
cmake --build --preset app --target allot

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  port=${ALLOT_VNC_PORT:-5900}
  echo "No display found: Allot is served over VNC at localhost:${port}" \
       "(open it with a VNC viewer, for example: vncviewer localhost:${port})."
  echo "Qt's VNC server listens on every network interface of this machine; stop Allot" \
       "with Ctrl+C when you are done."
  export QT_QPA_PLATFORM="vnc:size=390x844:port=${port}"
fi
exec build/app/app/allot "$@"
