#!/usr/bin/env bash
# Figures for Allot's window, offscreen: launch to first frame and peak memory with a typical store
# (20 envelopes of 200 transactions) and a stress store (1,000 of 200), each launch a process of its
# own on a freshly copied store, then tap to next frame on add and subtract. Prints medians and
# maxima; checks nothing and is not part of the tests. Files stay in the page cache between runs,
# so a launch here is a warm one.
# Usage: bench/run-screen-bench.sh [RUNS] [TAPS] [BUILD_DIR]   (defaults 7, 25, build/bench)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
taps=${2:-25}
build=${3:-build/bench}

cmake --preset bench -B "$build" -DALLOT_BUILD_QT=ON >/dev/null
cmake --build "$build" -j 2 --target screen_bench
bench="$build/bench/screen_bench"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$bench" prepare "$scratch/typical.sqlite3" 20 200
"$bench" prepare "$scratch/stress.sqlite3" 1000 200

# Prints the median and the maximum of FIELD (key=value) over the launch lines on standard input.
summarise() {
  local field=$1 unit=$2
  sed -n "s/.* $field=\([0-9.-]*\).*/\1/p" | sort -g |
    awk -v name="$field" -v unit="$unit" '{ v[NR] = $1 }
      END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "  %-20s median %7.1f %s   max %7.1f %s   (%d runs)\n", name, m, unit, v[NR], unit, NR }'
}

for store in typical stress; do
  lines=""
  for ((i = 0; i < runs; i++)); do
    rm -rf "$scratch/data"
    mkdir -p "$scratch/data/allot"
    cp "$scratch/$store.sqlite3" "$scratch/data/allot/defaults.sqlite3"
    # The wall-clock time (microseconds) taken just before exec, for the program to count from.
    line=$(XDG_DATA_HOME="$scratch/data" bash -c 'exec "$0" launch "${EPOCHREALTIME//[!0-9]/}"' \
      "$bench" | grep '^launch ')
    lines+="$line"$'\n'
  done
  echo "== launch, $store store (first frame = frameSwapped)"
  for field in exec_to_frame_ms main_to_frame_ms exec_to_main_ms; do
    printf '%s' "$lines" | summarise "$field" ms
  done
  for field in rss_first_frame_mb rss_peak_mb; do
    printf '%s' "$lines" | summarise "$field" MB
  done
done

echo "== tap to next frame, envelope of 200 transactions"
"$bench" taps "$taps"
