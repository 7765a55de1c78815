#!/usr/bin/env bash
# Sets up a fresh machine, builds Kolvex, writes the sample card and opens it.
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
build/cli/kolvex-cli scan "$card"
