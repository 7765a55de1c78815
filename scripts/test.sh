#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs every test:
# the display-free unit tests under ASan+UBSan, then the rest (widgets,
# playback, map) against a private X server; last, everything once more as a
# user or packager builds it (CMake's default generator, Release) with its
# unit tests and the Debian package made from it, unpacked and checked.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${KOLVEX_SKIP_SETUP:-0}" != 1 ]; then
    bash scripts/setup.sh
fi
bash scripts/build.sh both

# The player's settings of any test that does not choose its own stay in
# the build folder, never in the user's configuration folder.
export XDG_CONFIG_HOME="$PWD/build/test-config/shared"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
(cd build-asan && ctest --output-on-failure -j "$(nproc)") || status=1

# Tests that need a display get a private X server for the whole run.
source scripts/xvfb.sh
start_xvfb
trap stop_xvfb EXIT
(cd build && ctest --output-on-failure -LE 'unit|package' -j "$(nproc)") || status=1
stop_xvfb

# The release build runs only its unit tests (seconds, and -O3 with asserts
# off may show what the Debug build hides) and the package check; its
# display tests would add minutes for little.
if bash scripts/build.sh release; then
    (cd build-release && ctest --output-on-failure -L 'unit|package' -j "$(nproc)") || status=1
else
    status=1
fi
exit $status
