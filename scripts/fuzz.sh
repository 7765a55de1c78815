#!/usr/bin/env bash
# Fuzzes the camera-file parsers and the telemetry readers with libFuzzer
# (clang, ASan+UBSan), one program after another.
# Usage: scripts/fuzz.sh [MINUTES] [TARGET...]
#   MINUTES  per program (default 5)
#   TARGET   parsers, gpmf, camm, freegps, nmea (default: all of them)
# Builds in build-fuzz/, starts each program from its seed corpus (written by
# the fixture writers) plus tests/fuzz/corpus/ (saved regressions), keeps
# what it finds in build-fuzz/fuzz-corpus-TARGET/ and crashes in
# build-fuzz/fuzz-artifacts/. A crash found here belongs in
# tests/fuzz/corpus/ (a reader's in tests/fuzz/corpus/READER/), where the
# test run replays it. The last lines of each program's log are printed and
# kept in build-fuzz/fuzz-TARGET.log.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes="${1:-5}"
if ! [[ "$minutes" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/fuzz.sh [MINUTES] [parsers|gpmf|camm|freegps|nmea ...]" >&2
    exit 64
fi
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(parsers gpmf camm freegps nmea)
for t in "${targets[@]}"; do
    case "$t" in
    parsers | gpmf | camm | freegps | nmea) ;;
    *)
        echo "unknown fuzz target: $t (parsers, gpmf, camm, freegps, nmea)" >&2
        exit 64
        ;;
    esac
done
dir=build-fuzz

if [ ! -f "$dir/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKOLVEX_FUZZ=ON -DKOLVEX_CORE_ONLY=ON -DKOLVEX_BENCH=OFF -DKOLVEX_WERROR=ON
fi
build_targets=()
for t in "${targets[@]}"; do
    if [ "$t" = parsers ]; then
        build_targets+=(tracks_fuzz_parsers tracks_fuzz_replay)
    else
        build_targets+=("tracks_fuzz_$t" "tracks_fuzz_${t}_replay")
    fi
done
cmake --build "$dir" --target "${build_targets[@]}" -j 2

export TZ=Europe/Berlin
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p "$dir/fuzz-artifacts"
status=0
for t in "${targets[@]}"; do
    if [ "$t" = parsers ]; then
        replay=tracks_fuzz_replay dict=(-dict=../tests/fuzz/parsers.dict) regressions=../tests/fuzz/corpus
    else
        replay="tracks_fuzz_${t}_replay" dict=() regressions="../tests/fuzz/corpus/$t"
    fi
    seeds="fuzz-seeds-$t"
    corpus="fuzz-corpus-$t"
    mkdir -p "$dir/$corpus" "$dir/$regressions" 2>/dev/null || true
    "$dir/tests/fuzz/$replay" --write-seeds "$dir/$seeds"
    echo "== fuzzing $t for $minutes min"
    # One job: the machine is shared. libFuzzer writes the job's log to fuzz-0.log.
    (cd "$dir" && "./tests/fuzz/tracks_fuzz_$t" "$corpus" "$seeds" "$regressions" \
        "${dict[@]}" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
        -max_total_time=$((minutes * 60)) -artifact_prefix=fuzz-artifacts/ -print_final_stats=1 \
        -jobs=1 -workers=1) || status=$?
    mv -f "$dir/fuzz-0.log" "$dir/fuzz-$t.log" 2>/dev/null || true
    tail -n 25 "$dir/fuzz-$t.log" 2>/dev/null || true
done
exit "$status"
