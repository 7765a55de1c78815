#!/usr/bin/env bash
# Sets up a fresh machine, builds Kolvex, writes the sample card, lists it
# and opens the player's window when there is a display.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${KOLVEX_SKIP_SETUP:-0}" != 1 ]; then
    bash scripts/setup.sh
fi
bash scripts/build.sh full

card="${1:-sample-card}"
if [ ! -d "$card" ]; then
    tools/make-sample-card "$card"
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

# The player's window, where there is a display to show it on.
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/app/kolvex
fi
