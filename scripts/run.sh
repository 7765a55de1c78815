#!/usr/bin/env bash
# Sets up a fresh machine, builds Kolvex, writes the sample card, lists it
# and opens the player's window on it. Without a display the window plays
# under a private X server for a while and a screenshot of it is saved
# next to the card.
# Usage: scripts/run.sh [--layout camera|action|dual-dated] [DIR]
# (another camera's card goes to sample-card-action or
# sample-card-dual-dated unless DIR is given)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${KOLVEX_SKIP_SETUP:-0}" != 1 ]; then
    bash scripts/setup.sh
fi
bash scripts/build.sh full

layout=camera
if [ "${1:-}" = --layout ]; then
    layout="${2:?scripts/run.sh: --layout needs camera, action or dual-dated}"
    shift 2
fi
default_card=sample-card
[ "$layout" = camera ] || default_card="sample-card-$layout"
card="${1:-$default_card}"
if [ ! -d "$card" ]; then
    tools/make-sample-card --layout "$layout" "$card"
fi
cli=build/cli/kolvex-cli
commands="$("$cli" --help)"
if grep -qE '^  scan( |$)' <<<"$commands"; then
    "$cli" scan "$card"
else
    # A kolvex-cli without the library's scan still shows what the reader
    # finds in each file of the card.
    find "$card" -type f ! -name '.*' | LC_ALL=C sort | while read -r file; do
        echo "$file"
        "$cli" probe "$file" || true
    done
fi

# The player's window on the card, where there is a display to show it on.
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/app/kolvex "$card"
fi

# No display: the window plays under a private X server, and what it showed
# after a while is kept as a picture.
seconds="${KOLVEX_RUN_SECONDS:-15}"
shot="$(cd "$(dirname "$card")" && pwd)/$(basename "$card")-playing.png"
# shellcheck source=scripts/xvfb.sh
source scripts/xvfb.sh
start_xvfb
trap stop_xvfb EXIT
build/app/kolvex "$card" &
player=$!
sleep "$seconds"
import -window root "$shot"
kill "$player" 2>/dev/null || true
wait "$player" 2>/dev/null || true
echo "No display: the window played under a private X server for $seconds s."
echo "Screenshot: $shot"
