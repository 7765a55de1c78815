#!/usr/bin/env bash
# Configures and builds Kolvex.
# Usage: scripts/build.sh [full|asan|both|release] [-DNAME=VALUE...]
#   full: everything, in build/        asan: the display-free core with
#   ASan+UBSan, in build-asan/ (the unit tests run there).
#   release: everything as a user or packager builds it, with CMake's
#   default generator and -DCMAKE_BUILD_TYPE=Release, in build-release/.
# Our builds treat warnings as errors (KOLVEX_WERROR); a plain cmake does not.
set -euo pipefail
cd "$(dirname "$0")/.."
what="${1:-full}"
shift || true
settings=("$@") # further cache settings, for every build folder made here
jobs="$(nproc)"

configure() { # dir, generator ("" for CMake's default), extra args...
    local dir="$1" generator="$2"; shift 2
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S . -B "$dir" ${generator:+-G "$generator"} -DKOLVEX_WERROR=ON "$@" \
            ${settings[@]+"${settings[@]}"}
    else
        cmake -S . -B "$dir" -DKOLVEX_WERROR=ON "$@" \
            ${settings[@]+"${settings[@]}"} >/dev/null
    fi
}

case "$what" in
    full|asan|both|release) ;;
    *) echo "usage: scripts/build.sh [full|asan|both|release]" >&2; exit 64 ;;
esac
if [ "$what" = full ] || [ "$what" = both ]; then
    configure build Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j "$jobs"
fi
if [ "$what" = asan ] || [ "$what" = both ]; then
    configure build-asan Ninja -DCMAKE_BUILD_TYPE=Debug -DKOLVEX_CORE_ONLY=ON \
        -DKOLVEX_SANITIZE=ON -DKOLVEX_BENCH=OFF
    cmake --build build-asan -j "$jobs"
fi
if [ "$what" = release ]; then
    configure build-release "" -DCMAKE_BUILD_TYPE=Release
    cmake --build build-release -j "$jobs"
fi
