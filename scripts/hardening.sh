#!/usr/bin/env bash
# Hardening run: builds and tests everything under AddressSanitizer and UndefinedBehaviorSanitizer
# (the sanitize preset), then builds the libFuzzer targets (the fuzz preset) and runs each for
# ALLOT_FUZZ_SECONDS (default 60). Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh all
if [ -x /usr/bin/llvm-symbolizer-14 ]; then
  export ASAN_SYMBOLIZER_PATH="${ASAN_SYMBOLIZER_PATH:-/usr/bin/llvm-symbolizer-14}"
fi
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize
cmake --preset fuzz
cmake --build --preset fuzz
bash tests/fuzz/run_fuzzers.sh build/fuzz
