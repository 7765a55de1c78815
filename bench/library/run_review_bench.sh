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

# "WALL CPU" seconds of the command (output discarded), each the best of
# $1 runs; CPU is user + system time, which other work on a shared machine
# disturbs less than the wall clock.
TIMEFORMAT='%R %U %S'
best_of() {
    local runs="$1"; shift
    local wall="" cpu=""
    for _ in $(seq "$runs"); do
        local t w c
        t=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
        w=$(echo "$t" | awk '{print $1}')
        c=$(echo "$t" | awk '{print $2 + $3}')
        if [ -z "$wall" ] || awk -v a="$w" -v b="$wall" 'BEGIN{exit !(a<b)}'; then wall="$w"; fi
        if [ -z "$cpu" ] || awk -v a="$c" -v b="$cpu" 'BEGIN{exit !(a<b)}'; then cpu="$c"; fi
    done
    echo "$wall $cpu"
}

# The thresholds come from Kolvex.ini of the current folder: run where
# there is none, so that the defaults are measured.
cd "$work"
"$cli" events "$card" >/dev/null # warms the page cache for every command
scan=$(best_of 7 "$cli" scan "$card")
events=$(best_of 7 "$cli" events "$card")
events_csv=$(best_of 7 "$cli" events "$card" --csv)
summary=$(best_of 7 "$cli" summary "$card")
found=$("$cli" events "$card" --csv | tail -n +2 | wc -l)

awk -v n="$count" -v scan="$scan" -v events="$events" -v csv="$events_csv" \
    -v summary="$summary" -v found="$found" 'BEGIN {
    split(scan, s, " "); split(events, e, " "); split(csv, c, " "); split(summary, m, " ")
    printf "\n%d recordings of 3 minutes, warm (best of 7; wall clock and CPU time):\n", n
    printf "  %-26s %7.3f s %7.3f s CPU  %6.1f us/file\n", "kolvex-cli scan", s[1], s[2], s[2] / n * 1e6
    printf "  %-26s %7.3f s %7.3f s CPU  %6.1f us/file  %.2fx / %.2fx the scan\n", "kolvex-cli events", e[1], e[2], e[2] / n * 1e6, e[1] / s[1], e[2] / s[2]
    printf "  %-26s %7.3f s %7.3f s CPU  %6.1f us/file  %.2fx / %.2fx the scan\n", "kolvex-cli events --csv", c[1], c[2], c[2] / n * 1e6, c[1] / s[1], c[2] / s[2]
    printf "  %-26s %7.3f s %7.3f s CPU  %6.1f us/file  %.2fx / %.2fx the scan\n", "kolvex-cli summary", m[1], m[2], m[2] / n * 1e6, m[1] / s[1], m[2] / s[2]
    printf "  goal: events and summary at most 2x the scan in CPU time (%s); %d events found\n", (e[2] <= 2 * s[2] && m[2] <= 2 * s[2]) ? "met" : "NOT met", found
}'
