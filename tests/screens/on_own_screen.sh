#!/usr/bin/env bash
# Runs a command against a private X server with a screen of the given size:
#   on_own_screen.sh 800x600x24 COMMAND [ARGS...]
set -euo pipefail
screen="$1"
shift
source "$(dirname "$0")/../../scripts/xvfb.sh"
start_xvfb "$screen"
trap stop_xvfb EXIT
"$@"
