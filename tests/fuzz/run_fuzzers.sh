#!/usr/bin/env bash
# Runs each fuzz target for a bounded time, starting from its seed corpus under corpus/<target>.
# New inputs go to a working corpus in the build folder, so the committed seeds stay as they are;
# a crash leaves its input in <build>/artifacts and fails the run.
# Usage: run_fuzzers.sh [BUILD_DIR], BUILD_DIR being build/fuzz unless given; each target runs for
# ALLOT_FUZZ_SECONDS (default 60).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$(cd "${1:-$root/build/fuzz}" && pwd)"
seconds="${ALLOT_FUZZ_SECONDS:-60}"
targets=(parse_amount load_store decode_cbor sqlite_file)

if [ -z "${ASAN_SYMBOLIZER_PATH:-}" ] && [ -x /usr/bin/llvm-symbolizer-14 ]; then
  export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14
fi
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

mkdir -p "$build/artifacts"
for target in "${targets[@]}"; do
  binary="$build/tests/fuzz/fuzz_$target"
  [ -x "$binary" ] || { echo "missing $binary: build the fuzz preset first" >&2; exit 1; }
  work="$build/corpus/$target"
  mkdir -p "$work"
  log="$build/fuzz_$target.log"
  echo "fuzz_$target: ${seconds} s"
  if ! "$binary" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$target-" "$work" "$here/corpus/$target" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "fuzz_$target FAILED; its input is in $build/artifacts" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz_$target: ${runs:-?} executions, no failure"
done
