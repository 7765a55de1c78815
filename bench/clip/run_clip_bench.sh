#!/usr/bin/env bash
# Times kolvex-cli clip against the ffmpeg program doing the same work on
# the same files in the same run, best of RUNS, the two taking turns:
#   1. a 60 s cut without re-encoding of one recording;
#   2. a 60 s clip of front and rear side by side with a text read-out,
#      H.264 with the same encoder, preset and bit rate, sound copied.
# Usage: bench/clip/run_clip_bench.sh [BUILD_DIR] [RUNS] [WORK_DIR]
# The 60 s recordings are joined (without re-encoding) from the sample card
# (BUILD_DIR/test-sample-card, written when missing) under the names of a
# camera that dates its files, so the read-out has a running clock.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="$(realpath "${1:-build}")"
runs="${2:-3}"
work="${3:-$(mktemp -d)}"
cli="$build/cli/kolvex-cli"
card="$build/test-sample-card"
font=/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf
[ -x "$cli" ] || { echo "no $cli: build kolvex-cli first" >&2; exit 1; }
[ -d "$card/DCIM" ] || "$build/tools/samplecard/kolvex-samplecard" "$card" >/dev/null

movie="$work/card/DCIM/Movie"
mkdir -p "$movie" "$work/out"
front="$movie/2026_0514_081200_001F.MP4"
rear="$movie/2026_0514_081200_001R.MP4"
join() { # output, inputs...
    local out="$1"; shift
    local list="$work/list.txt"; : >"$list"
    for f in "$@"; do echo "file '$f'" >>"$list"; done
    ffmpeg -v error -y -f concat -safe 0 -i "$list" -c copy -movflags +faststart "$out"
}
if [ ! -f "$front" ]; then
    join "$front" "$card/DCIM/CAMF/MOVA0010.MP4" "$card/DCIM/CAMF/MOVG0020.MP4" \
        "$card/DCIM/CAMF/MOVA0010.MP4"
    join "$rear" "$card/DCIM/CAMR/MOVA001R.MP4" "$card/DCIM/CAMR/MOVG002R.MP4" \
        "$card/DCIM/CAMR/MOVA001R.MP4"
fi

# The bit rate the clip writer chooses: as many bits per pixel as the
# sources (the rear scaled to the front's height).
rate() { ffprobe -v error -select_streams v:0 -show_entries stream="$2" -of csv=p=0 "$1"; }
fw=$(rate "$front" width); fh=$(rate "$front" height); fb=$(rate "$front" bit_rate)
rw=$(rate "$rear" width); rh=$(rate "$rear" height); rb=$(rate "$rear" bit_rate)
sw=$(( (rw * fh / rh) & ~1 ))
bitrate=$(( fb + rb * sw * fh / (rw * rh) ))

seconds() { # command...: wall time in seconds
    local t0 t1
    t0=$(date +%s.%N); "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    t1=$(date +%s.%N); echo "$t1 - $t0" | bc -l
}
best() { printf '%s\n' "$@" | sort -g | head -1; }

cut_k=(); cut_f=(); side_k=(); side_f=()
for _ in $(seq "$runs"); do
    cut_k+=("$(seconds "$cli" clip "$front" --from 0 --to 60 --no-overlay --out "$work/out/cut-k.mp4")")
    cut_f+=("$(seconds ffmpeg -v error -y -ss 0 -t 60 -i "$front" -map 0:v -map 0:a -c copy \
        "$work/out/cut-f.mp4")")
    side_k+=("$(seconds "$cli" clip "$front" --from 0 --to 60 --layout side --out "$work/out/side-k.mp4")")
    side_f+=("$(seconds ffmpeg -v error -y -i "$front" -i "$rear" -filter_complex \
        "[1:v]scale=${sw}:${fh}:flags=bicubic[r];[0:v][r]hstack=inputs=2,drawtext=fontfile=${font}:fontsize=$((fh / 36)):fontcolor=white:box=1:boxcolor=black@0.6:x=${fw}-tw-40:y=h-th-40:text='%{pts\\:hms}'[v]" \
        -map "[v]" -map 0:a -c:a copy -c:v libx264 -preset veryfast -b:v "$bitrate" \
        "$work/out/side-f.mp4")")
done
ck=$(best "${cut_k[@]}"); cf=$(best "${cut_f[@]}")
sk=$(best "${side_k[@]}"); sf=$(best "${side_f[@]}")
printf 'work                      kolvex-cli   ffmpeg   ratio\n'
printf '60 s cut, no re-encoding  %8.3f s %7.3f s  %5.2fx\n' "$ck" "$cf" "$(echo "$ck / $cf" | bc -l)"
printf '60 s side by side + text  %8.3f s %7.3f s  %5.2fx\n' "$sk" "$sf" "$(echo "$sk / $sf" | bc -l)"
printf '(best of %s; %sx%s + %sx%s at %s bit/s, libx264 veryfast; work in %s)\n' \
    "$runs" "$fw" "$fh" "$sw" "$fh" "$bitrate" "$work"
