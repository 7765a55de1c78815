#!/usr/bin/env bash
# Configures and builds Kolvex. Usage: scripts/build.sh [full|asan|both]
#   full: everything, in build/        asan: the display-free core with
#   ASan+UBSan, in build-asan/ (the unit tests run there).
set -euo pipefail
cd "$(dirname "$0")/.."
what="${1:-full}"
jobs="$(nproc)"

configure() { # dir, extra args...
    local dir="$1"; shift
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S . -B "$dir" -G Ninja "$@"
    else
        cmake -S . -B "$dir" "$@" >/dev/null
    fi
}

if [ "$what" = full ] || [ "$what" = both ]; then
    configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j "$jobs"
fi
if [ "$what" = asan ] || [ "$what" = both ]; then
    configure build-asan -DCMAKE_BUILD_TYPE=Debug -DKOLVEX_CORE_ONLY=ON \
        -DKOLVEX_SANITIZE=ON -DKOLVEX_BENCH=OFF
    cmake --build build-asan -j "$jobs"
fi
