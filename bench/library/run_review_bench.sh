#!/usr/bin/env bash
# Driving events and trip figures of a card of 1,000 camera recordings (3
# minutes each, GPS at 1 Hz, G-sensor at 10 Hz), warm: kolvex-cli events
# and kolvex-cli summary against kolvex-cli scan, which loads the same card
# and reads no samples. Goal: each at most 2x the scan's time.
#
# Usage: bench/library/run_review_bench.sh [BUILD_DIR] [WORK_DIR]
#   BUILD_DIR  holds cli/kolvex-cli and bench/library/write_bench_card
#              (default: build); WORK_DIR gets the clip and the card
#              (default: a temporary folder, removed at the end).
# The card is the one run_library_bench.sh writes (sparse files, about
# 180 KB each on disk).
set -euo pipefail
cd "$(dirname "$0")/../.."

build="$(realpath "${1:-build}")"
cli="$build/cli/kolvex-cli"
writer="$build/bench/library/write_bench_card"
count=1000
for tool in "$cli" "$writer"; do
    [ -x "$tool" ] || { echo "missing $tool (build it first)" >&2; exit 1; }
done
command -v ffmpeg >/dev/null || { echo "missing ffmpeg (scripts/setup.sh installs it)" >&2; exit 1; }

if [ -n "${2:-}" ]; then
    work="$2"
    mkdir -p "$work"
else
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
fi
clip="$work/clip.mp4"
card="$work/card"
if [ ! -s "$clip" ]; then
    ffmpeg -v error -y -f lavfi -i "testsrc2=size=320x180:rate=30" \
        -f lavfi -i "anullsrc=r=16000:cl=mono" -t 180 \
        -c:v libx264 -preset veryfast -g 15 -b:v 200k -c:a aac -b:a 32k "$clip"
fi
rm -rf "$card"
"$writer" "$clip" "$card" "$count"

# Seconds of wall-clock time of the command (output discarded), best of $1 runs.
TIMEFORMAT='%R'
best_of() {
    local runs="$1"; shift
    local best=""
    for _ in $(seq "$runs"); do
        local t
        t=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
        if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN{exit !(a<b)}'; then best="$t"; fi
    done
    echo "$best"
}

# The thresholds come from Kolvex.ini of the current folder: run where
# there is none, so that the defaults are measured.
cd "$work"
"$cli" events "$card" >/dev/null # warms the page cache for every command
scan=$(best_of 5 "$cli" scan "$card")
events=$(best_of 5 "$cli" events "$card")
events_csv=$(best_of 5 "$cli" events "$card" --csv)
summary=$(best_of 5 "$cli" summary "$card")
found=$("$cli" events "$card" --csv | tail -n +2 | wc -l)

awk -v n="$count" -v scan="$scan" -v events="$events" -v csv="$events_csv" \
    -v summary="$summary" -v found="$found" 'BEGIN {
    printf "\n%d recordings of 3 minutes, warm (wall-clock, best of 5):\n", n
    printf "  %-30s %8.3f s  %7.1f us/file\n", "kolvex-cli scan", scan, scan / n * 1e6
    printf "  %-30s %8.3f s  %7.1f us/file  %.2fx the scan\n", "kolvex-cli events", events, events / n * 1e6, events / scan
    printf "  %-30s %8.3f s  %7.1f us/file  %.2fx the scan\n", "kolvex-cli events --csv", csv, csv / n * 1e6, csv / scan
    printf "  %-30s %8.3f s  %7.1f us/file  %.2fx the scan\n", "kolvex-cli summary", summary, summary / n * 1e6, summary / scan
    printf "  goal: events and summary at most 2x the scan (%s); %d events found\n", (events <= 2 * scan && summary <= 2 * scan) ? "met" : "NOT met", found
}'
