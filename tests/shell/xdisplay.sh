# shellcheck shell=bash
# Sourced by the X checks: xdisplay_start WIDTHxHEIGHT starts a private virtual X server on a
# display number the server picks itself (no lock-file race between checks that start at once)
# and exports DISPLAY; xdisplay_stop ends it and the window manager, if one was started.
xdisplay_start() {
    local out
    out="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$out" >/dev/null 2>&1 &
    xdisplay_server=$!
    for _ in $(seq 100); do [ -s "$out" ] && break; sleep 0.05; done
    DISPLAY=":$(head -n 1 "$out")"
    export DISPLAY
    rm -f "$out"
    [ "$DISPLAY" != ":" ]
}
# Starts openbox on the display and waits until it manages windows.
xdisplay_window_manager() {
    openbox >/dev/null 2>&1 &
    xdisplay_wm=$!
    for _ in $(seq 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    return 1
}
xdisplay_stop() {
    kill ${xdisplay_wm:-} ${xdisplay_server:-} 2>/dev/null
    xdisplay_wm=""
}
