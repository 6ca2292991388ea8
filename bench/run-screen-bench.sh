#!/usr/bin/env bash
# Figures for Allot's window, offscreen: launch to first frame and peak memory with a typical store
# (20 envelopes of 200 transactions) and a stress store (1,000 of 200), each launch a process of its
# own on a freshly copied store, interleaved with the floors (an empty Qt Quick window and an empty
# Quick Controls window) and Allot's ratios to them, for the phone-sized window and for a wide one
# (1280 x 800) whose first frame shows the list beside the first envelope's transactions; the load of each store in a fresh process
# against the plain read of its bytes; an envelope of a million transactions; tap to next frame on
# add and subtract. When HomeBank, Xvfb and xdotool are installed, Allot and HomeBank (the peer, on
# a file of the same budget in its own format) are then launched in turn on one Xvfb display
# without a GPU: launch until the data is on screen (Allot's first frame; HomeBank's window titled
# with its file, which it does once the file is loaded) and peak memory by then.
# Prints medians and maxima; checks nothing and is not part of the tests. Files stay in the page
# cache between runs, so a launch here is a warm one.
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

# The median of FIELD over the launch lines on standard input, alone.
median() {
  sed -n "s/.* $1=\([0-9.-]*\).*/\1/p" | sort -g |
    awk '{ v[NR] = $1 } END { printf "%.1f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One launch of the program given, counted from the exec; prints its launch line.
timed() {
  XDG_DATA_HOME="$scratch/data" bash -c 'exec "$0" "$@" "${EPOCHREALTIME//[!0-9]/}"' "$@" |
    grep '^launch '
}

# The floors are launched in the same run, interleaved with Allot's launches, so that all of
# them meet the same machine state.
for store in typical stress; do
  lines="" wide="" quick="" controls=""
  for ((i = 0; i < runs; i++)); do
    for shape in narrow wide; do
      rm -rf "$scratch/data"
      mkdir -p "$scratch/data/allot"
      cp "$scratch/$store.sqlite3" "$scratch/data/allot/defaults.sqlite3"
      if [[ $shape == wide ]]; then
        wide+="$(timed "$bench" launch wide)"$'\n'
      else
        lines+="$(timed "$bench" launch)"$'\n'
      fi
    done
    quick+="$(timed "$bench" floor quick)"$'\n'
    controls+="$(timed "$bench" floor controls)"$'\n'
  done
  echo "== launch, $store store (first frame = frameSwapped)"
  for field in exec_to_frame_ms main_to_frame_ms exec_to_main_ms; do
    printf '%s' "$lines" | summarise "$field" ms
  done
  for field in rss_first_frame_mb rss_peak_mb; do
    printf '%s' "$lines" | summarise "$field" MB
  done
  echo "   wide window (1280 x 800), the list beside the first envelope"
  printf '%s' "$wide" | summarise exec_to_frame_ms ms
  printf '%s' "$wide" | summarise rss_first_frame_mb MB
  for floor in quick controls; do
    floor_lines=${!floor}
    echo "   floor: empty $floor window"
    printf '%s' "$floor_lines" | summarise exec_to_frame_ms ms
    printf '%s' "$floor_lines" | summarise rss_first_frame_mb MB
    awk -v a="$(printf '%s' "$lines" | median exec_to_frame_ms)" \
        -v w="$(printf '%s' "$wide" | median exec_to_frame_ms)" \
        -v f="$(printf '%s' "$floor_lines" | median exec_to_frame_ms)" -v name="$floor" \
        'BEGIN { printf "  Allot / empty %s window, launch to first frame: %.2fx (wide, both pages: %.2fx)\n", name, a / f, w / f }'
  done
done

for store in typical stress; do
  loads="" reads=""
  for ((i = 0; i < runs; i++)); do
    loads+="$("$bench" load "$scratch/$store.sqlite3")"$'\n'
    reads+="$("$bench" read "$scratch/$store.sqlite3")"$'\n'
  done
  echo "== load of the $store store in a fresh process (open, checks, load)"
  printf '%s' "$loads" | summarise took_ms ms
  printf '%s' "$loads" | summarise rss_growth_mb MB
  echo "   of which the summary (names, colours and balances), then the lists follow"
  printf '%s' "$loads" | summarise summary_ms ms
  printf '%s' "$loads" | summarise summary_rss_growth_mb MB
  echo "   floor: reading its bytes into memory in a fresh process"
  printf '%s' "$reads" | summarise took_ms ms
done

echo "== an envelope of 1,000,000 transactions written by another program"
"$bench" huge 1000000

echo "== tap to next frame, envelope of 200 transactions"
"$bench" taps "$taps"

if ! command -v homebank >/dev/null || ! command -v Xvfb >/dev/null ||
  ! command -v xdotool >/dev/null; then
  echo "== HomeBank, Xvfb or xdotool is not installed: no comparison with the peer"
  exit 0
fi

# One launch of HomeBank on FILE, counted from the exec until its window bears the file's name;
# prints a launch line like Allot's.
homebank_launch() {
  local file=$1 start now pid
  start=${EPOCHREALTIME//[!0-9]/}
  HOME="$scratch/homebank-home" homebank "$file" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name "^$(basename "$file") - " >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null || ((${EPOCHREALTIME//[!0-9]/} - start > 300000000)); then
      echo "launch no_window"
      kill "$pid" 2>/dev/null || true
      return
    fi
    sleep 0.002
  done
  now=${EPOCHREALTIME//[!0-9]/}
  awk -v ms="$(((now - start) / 1000))" '/^VmHWM/ {
      printf "launch exec_to_frame_ms=%d rss_first_frame_mb=%.1f\n", ms, $2 / 1024 }' \
    "/proc/$pid/status"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

mkdir -p "$scratch/homebank-home"
Xvfb :97 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
export DISPLAY=:97 QT_QPA_PLATFORM=xcb
# Without a session bus, each program would start one for the display, which outlives it.
export DBUS_SESSION_BUS_ADDRESS=${DBUS_SESSION_BUS_ADDRESS:-unix:path=$scratch/no-bus}
sleep 1
python3 bench/write-homebank-file.py 20 200 "$scratch/typical.xhb"
python3 bench/write-homebank-file.py 1000 200 "$scratch/stress.xhb"
for store in typical stress; do
  lines="" peer=""
  for ((i = 0; i < runs; i++)); do
    rm -rf "$scratch/data"
    mkdir -p "$scratch/data/allot"
    cp "$scratch/$store.sqlite3" "$scratch/data/allot/defaults.sqlite3"
    lines+="$(timed "$bench" launch)"$'\n'
    peer+="$(homebank_launch "$scratch/$store.xhb")"$'\n'
  done
  echo "== Xvfb without a GPU, $store store: Allot"
  printf '%s' "$lines" | summarise exec_to_frame_ms ms
  printf '%s' "$lines" | summarise rss_first_frame_mb MB
  printf '%s' "$lines" | summarise rss_peak_mb MB
  echo "   peer: HomeBank $(dpkg-query -W -f '${Version}' homebank 2>/dev/null), until its window bears the file's name"
  printf '%s' "$peer" | summarise exec_to_frame_ms ms
  printf '%s' "$peer" | summarise rss_first_frame_mb MB
  awk -v a="$(printf '%s' "$lines" | median exec_to_frame_ms)" \
      -v f="$(printf '%s' "$peer" | median exec_to_frame_ms)" \
      'BEGIN { printf "  Allot / HomeBank, launch to data on screen: %.2fx\n", a / f }'
done
