#!/usr/bin/env bash
# Fuzzes both camera-file parsers with libFuzzer (clang, ASan+UBSan).
# Usage: scripts/fuzz.sh [MINUTES]   (default 5)
# Builds in build-fuzz/, starts from the seed corpus that the camera-file
# writer produces plus tests/fuzz/corpus/ (saved regressions), keeps what it
# finds in build-fuzz/fuzz-corpus/ and crashes in build-fuzz/fuzz-artifacts/.
# A crash found here belongs in tests/fuzz/corpus/, where the test run
# replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes="${1:-5}"
if ! [[ "$minutes" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/fuzz.sh [MINUTES]  (a whole number of minutes, at least 1)" >&2
    exit 64
fi
dir=build-fuzz

if [ ! -f "$dir/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKOLVEX_FUZZ=ON -DKOLVEX_CORE_ONLY=ON -DKOLVEX_BENCH=OFF -DKOLVEX_WERROR=ON
fi
cmake --build "$dir" --target tracks_fuzz_parsers tracks_fuzz_replay -j 2

seeds="$dir/fuzz-seeds"
corpus="$dir/fuzz-corpus"
mkdir -p "$corpus" "$dir/fuzz-artifacts"
"$dir/tests/fuzz/tracks_fuzz_replay" --write-seeds "$seeds"

export TZ=Europe/Berlin
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# One job: the machine is shared. libFuzzer writes the job's log to fuzz-0.log.
(cd "$dir" && ./tests/fuzz/tracks_fuzz_parsers fuzz-corpus fuzz-seeds ../tests/fuzz/corpus \
    -dict=../tests/fuzz/parsers.dict -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -max_total_time=$((minutes * 60)) -artifact_prefix=fuzz-artifacts/ -print_final_stats=1 \
    -jobs=1 -workers=1) || status=$?
tail -n 25 "$dir/fuzz-0.log" 2>/dev/null || true
exit "${status:-0}"
