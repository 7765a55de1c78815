#!/usr/bin/env bash
# Time from process start to the first painted window, idle and without a
# card: the player's main window with and without the map host, against a
# bare QWidget program and a bare program with the map host, started the
# same way on a private X server. Prints the median of RUNS starts of each
# (alternating, so that a busy moment hits every kind alike) and the ratios.
#
# Usage: bench/app/run_startup_bench.sh [BUILD_DIR] [RUNS]   (default: build 7)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
runs="${2:-7}"
probe="$(realpath "$build")/bench/app/kolvex-startup-probe"
[ -x "$probe" ] || { echo "missing $probe (build it first)" >&2; exit 1; }

source scripts/xvfb.sh
start_xvfb
trap stop_xvfb EXIT
work="$(mktemp -d)"
trap 'stop_xvfb; rm -rf "$work"' EXIT

kinds=(bare bare-map kolvex-nomap kolvex)
declare -A times
for ((i = 0; i < runs; i++)); do
    for kind in "${kinds[@]}"; do
        start=$(date +%s%6N)
        line=$(cd "$work" && "$probe" "$kind" 2>/dev/null | grep '^painted ' || true)
        [ -n "$line" ] || { echo "$kind did not paint" >&2; exit 1; }
        painted=${line#painted }
        times[$kind]+="$(((painted - start) / 1000)) "
    done
done

median() { tr ' ' '\n' | grep -v '^$' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
declare -A ms
for kind in "${kinds[@]}"; do
    ms[$kind]=$(echo "${times[$kind]}" | median)
    printf "%-14s median %5d ms   (runs: %s)\n" "$kind" "${ms[$kind]}" "${times[$kind]}"
done
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
map_own=$((ms[bare-map] - ms[bare]))
echo "map host's own start: $map_own ms"
echo "kolvex without map / bare:              $(ratio "${ms[kolvex-nomap]}" "${ms[bare]}")"
echo "kolvex with map / bare with map host:   $(ratio "${ms[kolvex]}" "${ms[bare-map]}")"
echo "kolvex with map / (1.5 x bare + map):   $(ratio "${ms[kolvex]}" "$((ms[bare] * 3 / 2 + map_own))")"
