#!/usr/bin/env bash
# Installs what is missing, then runs every check: the whole suite under AddressSanitizer and
# UndefinedBehaviorSanitizer and the fuzzers for a bounded time (scripts/hardening.sh), and last
# the optimised build with the whole test suite, the Qt window's offscreen tests included.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh all
bash scripts/hardening.sh
cmake --preset release
cmake --build --preset release
ctest --preset release
