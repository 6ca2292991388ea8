#!/usr/bin/env bash
# Installs what is missing, then runs every check: the C++ files' format, the whole suite under
# AddressSanitizer and UndefinedBehaviorSanitizer and the fuzzers for a bounded time
# (scripts/hardening.sh), then
# the optimised build with the whole test suite, the Qt window's offscreen tests, the headless
# serving and the browser session included; and last the Debian package, built from that build,
# checked with lintian, installed, started and removed (scripts/check-package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh all
# Every C++ file stays in .clang-format's shape.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
bash scripts/hardening.sh
cmake --preset release
cmake --build --preset release
ctest --preset release
bash scripts/check-package.sh
