#!/usr/bin/env bash
# Installs what is missing, builds everything in build/release and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh all
cmake --preset release
cmake --build --preset release
ctest --preset release
