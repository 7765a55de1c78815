# Sourced by the scripts that need an X display: starts a private Xvfb on
# a free display number and exports DISPLAY.
start_xvfb() {
    if [ -n "${KOLVEX_KEEP_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
        return
    fi
    local n
    for n in $(seq 90 140); do
        if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
            Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
            KOLVEX_XVFB_PID=$!
            export DISPLAY=":$n"
            local i
            for i in $(seq 50); do
                [ -e "/tmp/.X11-unix/X${n}" ] && return 0
                sleep 0.1
            done
        fi
    done
    echo "could not start Xvfb" >&2
    return 1
}
stop_xvfb() {
    if [ -n "${KOLVEX_XVFB_PID:-}" ]; then kill "$KOLVEX_XVFB_PID" 2>/dev/null || true; fi
}
