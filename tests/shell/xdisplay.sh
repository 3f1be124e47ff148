# shellcheck shell=sh
# Sourced by the X checks: xdisplay_start WIDTHxHEIGHT starts a private virtual X server on a
# display number the server picks itself (no lock-file race between checks that start at once)
# and exports DISPLAY; xdisplay_stop ends it and the window manager, if one was started.
xdisplay_server=""
xdisplay_wm=""
xdisplay_start() {
    local out
    out="$(mktemp)"
    # -noreset: a server resets when its last client leaves, and refuses the next game meanwhile.
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$out" >/dev/null 2>&1 &
    xdisplay_server=$!
    for _ in $(seq 100); do [ -s "$out" ] && break; sleep 0.05; done
    DISPLAY=":$(head -n 1 "$out")"
    export DISPLAY
    rm -f "$out"
    [ "$DISPLAY" != ":" ]
}
# Starts openbox on the display and waits until it manages windows.
xdisplay_window_manager() {
    openbox >/dev/null 2>"${TMPDIR:-/tmp}/openbox.$$" &
    xdisplay_wm=$!
    for _ in $(seq 150); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    cat "${TMPDIR:-/tmp}/openbox.$$" >&2
    return 1
}
# Waits for the server to be gone: a server still closing could take its display's socket away
# from the next check's server, which may already have the same display number.
xdisplay_stop() {
    kill ${xdisplay_wm:-} ${xdisplay_server:-} 2>/dev/null
    wait ${xdisplay_wm:-} ${xdisplay_server:-} 2>/dev/null
    rm -f "${TMPDIR:-/tmp}/openbox.$$"
    xdisplay_wm=""
}
