#!/usr/bin/env bash
# Scanning cards of 1,000 recordings (3 minutes each) in each card layout,
# warm: the camera's own names and records, an action camera's chapters
# with a GPMF track (18 Hz GPS, 200 Hz acceleration), dated names with rear
# files beside and freeGPS boxes (1 Hz), and kind/camera names with rear
# files in a sibling folder and NMEA texts (1 Hz). kolvex-cli scan on each
# card against the camera's own card (goal: within 2x) and against exiftool
# on the same card (goal: at least 100x faster).
#
# exiftool is asked, for every file of the card, what the scan lists of
# it: its duration, picture size and position (-Duration -ImageWidth
# -ImageHeight -GPSLatitude -GPSLongitude; the file's size is not asked
# for, as both take it from the file system). Without -ee it reads the camera's own GPS block but no
# GPMF, freeGPS or NMEA text (those it would read sample by sample with
# -ee, where the scan reads only the first few), so on the other cameras'
# cards it is asked for less than the scan does.
#
# Usage: bench/library/run_layout_bench.sh [BUILD_DIR] [WORK_DIR]
#   BUILD_DIR holds cli/kolvex-cli and bench/library/write_bench_card
#   (default: build); WORK_DIR gets the clip and the cards (default: a
#   temporary folder, removed at the end).
set -euo pipefail
cd "$(dirname "$0")/../.."

build="${1:-build}"
cli="$build/cli/kolvex-cli"
writer="$build/bench/library/write_bench_card"
count=1000
for tool in "$cli" "$writer"; do
    [ -x "$tool" ] || { echo "missing $tool (build it first)" >&2; exit 1; }
done
for tool in ffmpeg exiftool; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh installs it)" >&2; exit 1; }
done
if [ -n "${2:-}" ]; then
    work="$2"
    mkdir -p "$work"
else
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
fi
clip="$work/clip.mp4"
if [ ! -s "$clip" ]; then
    ffmpeg -v error -y -f lavfi -i "testsrc2=size=320x180:rate=30" \
        -f lavfi -i "anullsrc=r=16000:cl=mono" -t 180 \
        -c:v libx264 -preset veryfast -g 15 -b:v 200k -c:a aac -b:a 32k "$clip"
fi

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
exif() {
    exiftool -r -json -n -Duration -ImageWidth -ImageHeight -GPSLatitude -GPSLongitude "$1"
}

printf '%-12s %7s %7s %10s %10s %9s %11s\n' layout files listed scan exiftool "vs camera" "vs exiftool"
camera_time=""
for layout in camera action dated dual-dated; do
    card="$work/card-$layout"
    rm -rf "$card"
    "$writer" "$clip" "$card" "$count" "$layout"
    files=$(find "$card" -type f | wc -l)
    listed=$("$cli" scan "$card" | grep -o '"startsGroup"' | wc -l)
    exif "$card" >/dev/null 2>&1 # warm the page cache for both
    ours=$(best_of 5 "$cli" scan "$card")
    theirs=$(best_of 2 exif "$card")
    [ -n "$camera_time" ] || camera_time="$ours"
    awk -v l="$layout" -v f="$files" -v n="$listed" -v o="$ours" -v e="$theirs" -v c="$camera_time" \
        'BEGIN { printf "%-12s %7d %7d %8.3f s %8.3f s %8.2fx %10.0fx\n", l, f, n, o, e, o / c, e / o }'
    rm -rf "$card"
done
