#!/bin/sh
# Starts the game natively on Wayland in a private headless Weston and checks what its user sees:
# the whole window with Qt's decorations is 500 x 600 (from the protocol), the board is painted,
# the About box is a child of the window, and OK then File > Exit end the program with status 0.
# Without Qt's decorations the client area is the one X11 gives under a typical frame.
# Usage: wayland.sh PROGRAM DATA_DIR
set -u
program="$1"
data="$2"
fail() {
    echo "FAIL: $*"
    exit 1
}
for tool in weston weston-screenshooter dbus-daemon convert; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: no pyatspi"; exit 77; }

work="$(mktemp -d /tmp/daviz-wayland.XXXXXX)"
weston_pid=""
bus_pid=""
game_pid=""
cleanup() {
    for pid in $game_pid $weston_pid $bus_pid; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" WAYLAND_DISPLAY=daviz-test
unset DISPLAY
# A plain background and no panel, so that the window is what stands out on the screenshot.
printf '[shell]\npanel-position=none\nbackground-color=0xff20a040\n' >"$work/weston.ini"
weston --config="$work/weston.ini" --backend=headless-backend.so --use-pixman --debug \
    --socket="$WAYLAND_DISPLAY" --width=1024 --height=768 --idle-time=0 >"$work/weston.log" 2>&1 &
weston_pid=$!
# The accessibility bus comes up on demand on a private session bus of our own.
dbus-daemon --session --nofork --print-address=3 3>"$work/bus" >/dev/null 2>&1 &
bus_pid=$!
for _ in $(seq 100); do
    [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && [ -s "$work/bus" ] && break
    sleep 0.1
done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || fail "weston did not start: $(cat "$work/weston.log")"
DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$work/bus")"
export DBUS_SESSION_BUS_ADDRESS

# run NAME [VAR=VALUE...]: starts the game with its protocol log in NAME.log.
run() {
    log="$work/$1.log"
    shift
    (cd "$data" && exec env QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        WAYLAND_DEBUG=1 "$@" "$program" >"$log" 2>&1) &
    game_pid=$!
}
press() {
    /usr/bin/python3 "$(dirname "$0")/press.py" "$1" "$2" || fail "could not press $2"
}
# close_about: presses OK and waits until the About box's surface is gone; the main window takes
# no command before.
close_about() {
    press "push button" OK
    for _ in $(seq 50); do
        about="$(sed -n 's/.*-> \(xdg_toplevel@[0-9]*\)\.set_parent(xdg_toplevel@.*/\1/p' "$log" | head -n 1)"
        [ -n "$about" ] && grep -q -- "-> $about\.destroy()" "$log" && return 0
        sleep 0.1
    done
    fail "OK did not close the About box, or it was no child of the window"
}
finish() {
    for _ in $(seq 50); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null && fail "$1 did not end the game"
    wait "$game_pid"
    status=$?
    game_pid=""
    [ "$status" = 0 ] || fail "the game ended with status $status after $1"
}

run decorated
close_about
# The main window's surface is the first one to set a window geometry.
main_surface="$(sed -n 's/.*-> \(xdg_surface@[0-9]*\)\.set_window_geometry.*/\1/p' "$work/decorated.log" | head -n 1)"
main_geometry="$(grep -- "-> $main_surface.set_window_geometry" "$work/decorated.log" | tail -n 1 |
    sed 's/.*(0, 0, \([0-9]*\), \([0-9]*\)).*/\1x\2/')"
echo "window geometry with Qt's decorations: $main_geometry"
[ "$main_geometry" = 500x600 ] || fail "the window is $main_geometry, not 500x600"

# The screenshot: everything that is not background is the window.
(cd "$work" && weston-screenshooter) || fail "weston-screenshooter"
shot="$(ls "$work"/wayland-screenshot-*.png)"
cp "$shot" "${DAVIZ_WAYLAND_SHOT:-$work/keep.png}"
box="$(convert "$shot" -format '%@' info:)"
echo "window on the screen: $box"
[ "${box%%+*}" = 500x600 ] || fail "the window covers $box of the screen"
X="$(echo "$box" | cut -d+ -f2)"
Y="$(echo "$box" | cut -d+ -f3)"
# The banner and the balls: shaded balls take hundreds of colours where a flat area has few.
for area in 460x100+$((X + 20))+$((Y + 80)) 460x280+$((X + 20))+$((Y + 220)); do
    colours="$(convert "$shot" -crop "$area" +repage -format %k info:)"
    [ "$colours" -gt 500 ] || fail "no board in the screen's area $area ($colours colours)"
done
press "menu item" Exit
finish "File > Exit"

# Decorations the compositor would draw are not known: the client area is X11's under a frame.
run undecorated QT_WAYLAND_DISABLE_WINDOWDECORATION=1
close_about
press "menu item" Exit
finish "File > Exit"
geometry="$(sed -n 's/.*xdg_toplevel@[0-9]*\.set_min_size(\([0-9]*\), \([0-9]*\)).*/\1x\2/p' "$work/undecorated.log" | head -n 1)"
echo "client area without decorations: $geometry"
[ "$geometry" = 498x579 ] || fail "the client area is $geometry, not 498x579"
# Closing the window while the About box of the start is still open ends the program too.
run closed_early
press "menu item" Exit
finish "File > Exit under the About box"
echo "ok: native Wayland window"
