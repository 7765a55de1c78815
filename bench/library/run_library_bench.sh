#!/usr/bin/env bash
# Scanning a card of 1,000 camera recordings (3 minutes each) warm:
# kolvex-cli scan against exiftool (one process for the whole card, reading
# each file's duration, picture size and first GPS fix) and ffprobe (one
# process per file, a sample of files scaled to the card). Then the samples
# of one recording: kolvex-cli samples against exiftool -ee.
#
# Usage: bench/library/run_library_bench.sh [BUILD_DIR] [WORK_DIR]
#   BUILD_DIR  holds cli/kolvex-cli and bench/library/write_bench_card
#              (default: build); WORK_DIR gets the clip and the card
#              (default: a temporary folder, removed at the end).
# library_bench (built here when libbenchmark is found) adds the in-process
# figures: loading per file, one recording's data, the playback tick.
# The card's files are sparse: 270 MB each on paper, about 180 KB on disk.
set -euo pipefail
cd "$(dirname "$0")/../.."

build="${1:-build}"
cli="$build/cli/kolvex-cli"
writer="$build/bench/library/write_bench_card"
count=1000
ffprobe_sample=50
for tool in "$cli" "$writer"; do
    [ -x "$tool" ] || { echo "missing $tool (build it first)" >&2; exit 1; }
done
for tool in ffmpeg ffprobe exiftool; do
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
card="$work/card"

# One real 3-minute clip at 30 fps with sound: its movie box carries the
# sample tables ffmpeg writes for 5,400 pictures.
if [ ! -s "$clip" ]; then
    ffmpeg -v error -y -f lavfi -i "testsrc2=size=320x180:rate=30" \
        -f lavfi -i "anullsrc=r=16000:cl=mono" -t 180 \
        -c:v libx264 -preset veryfast -g 15 -b:v 200k -c:a aac -b:a 32k "$clip"
fi
rm -rf "$card"
"$writer" "$clip" "$card" "$count"
files=("$card"/DCIM/*/*.MP4)
echo "card: ${#files[@]} recordings of 3 minutes, $(du -sh "$card" | cut -f1) on disk"

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
ffprobe_files() {
    for f in "${files[@]:0:$ffprobe_sample}"; do
        ffprobe -v error -show_entries format=duration:stream=width,height -of json "$f"
    done
}

# Warm the page cache for every tool's reads.
"$cli" scan "$card" >/dev/null
exiftool -r -json -n -Duration -ImageWidth -ImageHeight -GPSLatitude -GPSLongitude \
    "$card" >/dev/null 2>&1
ffprobe_files >/dev/null 2>&1

ours=$(best_of 5 "$cli" scan "$card")
exif=$(best_of 2 exiftool -r -json -n -Duration -ImageWidth -ImageHeight -GPSLatitude \
    -GPSLongitude "$card")
probe_sample=$(best_of 2 ffprobe_files)

one="${files[0]}"
samples=""
if "$cli" samples "$one" >/dev/null 2>&1; then
    "$cli" samples "$one" >/dev/null
    samples=$(best_of 10 "$cli" samples "$one")
fi
exif_ee=$(best_of 2 exiftool -ee -json -n "$one")

awk -v n="$count" -v ours="$ours" -v exif="$exif" -v ps="$probe_sample" -v k="$ffprobe_sample" \
    -v samples="$samples" -v ee="$exif_ee" 'BEGIN {
    probe = ps / k * n
    printf "\nScanning %d recordings, warm (wall-clock, best run):\n", n
    printf "  %-34s %9.3f s  %8.1f us/file  %9.0f files/s\n", "kolvex-cli scan", ours, ours / n * 1e6, n / ours
    printf "  %-34s %9.3f s  %8.1f us/file  %9.0f files/s\n", "exiftool -r -json (one process)", exif, exif / n * 1e6, n / exif
    printf "  %-34s %9.3f s  %8.1f us/file  %9.0f files/s  (%d files timed)\n", "ffprobe (one process per file)", probe, probe / n * 1e6, n / probe, k
    printf "  kolvex-cli is %.0fx exiftool (goal 100x) and %.0fx ffprobe (goal 1000x) per file\n", exif / ours, probe / ours
    printf "\nSamples of one 3-minute recording:\n"
    if (samples != "") {
        printf "  %-34s %9.4f s\n", "kolvex-cli samples", samples
        printf "  %-34s %9.4f s\n", "exiftool -ee", ee
        printf "  kolvex-cli is %.0fx exiftool -ee\n", ee / samples
    } else {
        printf "  kolvex-cli samples is not built; exiftool -ee takes %.4f s\n", ee
    }
}'

# The library in process (no tool start-up, no JSON), when built.
if [ -x "$build/bench/library/library_bench" ]; then
    echo
    "$build/bench/library/library_bench" 2>/dev/null | grep -E "^(Benchmark|BM_|-)"
fi
