# Sourced by the scripts that need an X display: starts a private Xvfb and
# exports DISPLAY.
#   start_xvfb            a 1920x1080 screen, or the display already in
#                         DISPLAY when KOLVEX_KEEP_DISPLAY is set
#   start_xvfb 800x600x24 always a new server with that screen
# Xvfb picks a free display number itself (-displayfd), so that servers
# started at the same moment by other users of the machine cannot collide.
start_xvfb() {
    local screen="${1:-}"
    if [ -z "$screen" ] && [ -n "${KOLVEX_KEEP_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
        return
    fi
    local number_file
    number_file="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 "${screen:-1920x1080x24}" -nolisten tcp \
        3>"$number_file" >/dev/null 2>&1 &
    KOLVEX_XVFB_PID=$!
    local i number=""
    for i in $(seq 100); do
        # The number is complete once its line is.
        if read -r number <"$number_file"; then break; fi
        number=""
        if ! kill -0 "$KOLVEX_XVFB_PID" 2>/dev/null; then break; fi
        sleep 0.1
    done
    rm -f "$number_file"
    if [ -z "$number" ]; then
        stop_xvfb
        echo "could not start Xvfb" >&2
        return 1
    fi
    export DISPLAY=":$number"
}
stop_xvfb() {
    if [ -n "${KOLVEX_XVFB_PID:-}" ]; then kill "$KOLVEX_XVFB_PID" 2>/dev/null || true; fi
    KOLVEX_XVFB_PID=""
}
