#!/usr/bin/env bash
# The whole player on the sample card against two bare players on the same
# private X server, run alternately RUNS times each: launch to the first
# front picture, the UI thread's time per player tick, the CPU of the
# process tree while both recordings play (ratio to the bare players) and
# the pictures libVLC lost. Prints the medians of the runs, for each window
# size asked for.
#
# Usage: bench/app/run_player_bench.sh [BUILD_DIR] [RUNS] [SECONDS] [SIZES]
#        (default: build 3 12 800x560,1920x1080; a recording of the card
#        lasts 20 s). The window takes each size through its saved
#        rectangle, on a 1920x1080 screen. KOLVEX_BENCH_MAP=0 measures the
#        window with the map switched off.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="$(realpath "${1:-build}")"
runs="${2:-3}"
seconds="${3:-12}"
sizes="${4:-800x560,1920x1080}"
bench="$build/bench/app/kolvex-player-bench"
[ -x "$bench" ] || { echo "missing $bench (build it first)" >&2; exit 1; }

work="$(mktemp -d)"
source scripts/xvfb.sh
start_xvfb
trap 'stop_xvfb; rm -rf "$work"' EXIT
KOLVEX_SAMPLECARD_BIN="$build/tools/samplecard/kolvex-samplecard" \
    tools/make-sample-card "$work/card" >/dev/null

value() { awk -v key="$1" '$1 == key { print $2 }' "$2"; }
median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
measure_size() { # WIDTHxHEIGHT
    local width="${1%x*}" height="${1#*x}"
    declare -A series
    keys=(first_picture_ms scan_done_ms first_picture_after_scan_ms tick_median_us tick_p99_us
          paint_per_tick_us ticks cpu lost)
    for ((i = 0; i < runs; i++)); do
        # Each run starts from a fresh settings folder and browser profile.
        home="$work/home-$1-$i"
        mkdir -p "$home"
        # A settings file in the starting folder is the one the player uses.
        printf '[UI]\nMAP_ENABLE=%d\n[WINPOS]\nLEFT=0\nTOP=0\nRIGHT=%d\nBOTTOM=%d\n' \
            "${KOLVEX_BENCH_MAP:-1}" "$width" "$height" >"$home/Kolvex.ini"
        (cd "$home" && HOME="$home" KOLVEX_BENCH_LAUNCHED_US=$(date +%s%6N) \
            "$bench" kolvex "$work/card" "$seconds" >"$work/kolvex$i.txt" 2>/dev/null)
        read -r _ front rear window < <(grep '^surfaces' "$work/kolvex$i.txt")
        (cd "$home" && "$bench" bare "$work/card" "$seconds" "${front#front=}" "${rear#rear=}" \
            "${window#window=}" >"$work/bare$i.txt" 2>/dev/null)
        for key in "${keys[@]}"; do
            series[kolvex_$key]+="$(value "$key" "$work/kolvex$i.txt") "
        done
        series[bare_cpu]+="$(value cpu "$work/bare$i.txt") "
        series[bare_lost]+="$(value lost "$work/bare$i.txt") "
    done

    declare -A m
    for key in "${!series[@]}"; do
        m[$key]=$(echo "${series[$key]}" | median)
    done
    echo "window $1: sample card, $runs runs of each, $seconds s measured while both recordings play"
    echo "  window: ${window#window=}, front surface ${front#front=}, rear ${rear#rear=}"
    printf "launch -> list filled (scan done)  median %8.1f ms  (runs: %s)\n" \
        "${m[kolvex_scan_done_ms]}" "${series[kolvex_scan_done_ms]}"
    printf "launch -> first front picture      median %8.1f ms  (runs: %s)\n" \
        "${m[kolvex_first_picture_ms]}" "${series[kolvex_first_picture_ms]}"
    printf "scan done -> first front picture   median %8.1f ms\n" "${m[kolvex_first_picture_after_scan_ms]}"
    printf "UI thread per tick: handler median %.1f us, p99 %.1f us; paints %.1f us per tick (%s ticks)\n" \
        "${m[kolvex_tick_median_us]}" "${m[kolvex_tick_p99_us]}" "${m[kolvex_paint_per_tick_us]}" \
        "${m[kolvex_ticks]}"
    printf "CPU (process tree, cores): player %.3f, bare players %.3f, ratio %.2f\n" \
        "${m[kolvex_cpu]}" "${m[bare_cpu]}" \
        "$(awk -v a="${m[kolvex_cpu]}" -v b="${m[bare_cpu]}" 'BEGIN { printf "%.3f", a / b }')"
    printf "lost pictures: player %s (runs: %s), bare players %s (runs: %s)\n" \
        "${m[kolvex_lost]}" "${series[kolvex_lost]}" "${m[bare_lost]}" "${series[bare_lost]}"
}

IFS=',' read -r -a size_list <<<"$sizes"
for size in "${size_list[@]}"; do
    measure_size "$size"
done
