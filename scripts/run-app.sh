#!/usr/bin/env bash
# Installs what is missing, builds the application and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh all
cmake --preset release
cmake --build --preset release
if [ -x build/release/app/allot ]; then
  exec build/release/app/allot "$@"
fi
echo "Allot's screens are still being built; the core library and its tests are ready."
