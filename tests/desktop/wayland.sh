#!/bin/sh
# wayland.sh PROGRAM, run in the data folder: the game in a private headless Weston.
set -u
# A private session bus, where the accessibility bus comes up on demand.
[ -n "${DAVIZ_BUS:-}" ] || DAVIZ_BUS=1 exec dbus-run-session -- "$0" "$@"
# shellcheck source=SCRIPTDIR/session.sh
. "$(dirname "$0")/session.sh"
need weston weston-screenshooter convert
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: no pyatspi"; exit 77; }
export XDG_RUNTIME_DIR="$work" WAYLAND_DISPLAY=daviz-test QT_QPA_PLATFORM=wayland \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# No panel and a plain background: the window is what stands out on the screenshot.
printf '[shell]\npanel-position=none\nbackground-color=0xff20a040\n' >"$work/weston.ini"
weston --config="$work/weston.ini" --backend=headless-backend.so --use-pixman --debug \
    --socket="$WAYLAND_DISPLAY" --width=1024 --height=768 --idle-time=0 >"$work/weston.log" 2>&1 &
servers="$!"
await test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || fail "no weston: $(cat "$work/weston.log")"

log="$work/game.log"
press() { /usr/bin/python3 "$(dirname "$0")/press.py" "$1" "$2" || fail "could not press $2"; }
# The About box is the toplevel given a parent; the main window takes no command before it is gone.
about_closed() {
    about="$(grep -m 1 -o 'xdg_toplevel@[0-9]*\.set_parent(xdg_toplevel@' "$log" | cut -d . -f 1)"
    [ -n "$about" ] && grep -q -- "-> $about\.destroy()" "$log"
}

WAYLAND_DEBUG=1 "$1" >"$log" 2>&1 &
pid=$!
press "push button" OK
await about_closed || fail "OK did not close the About box, or it was no child of the window"
# Shaded balls take hundreds of colours, flat areas few; the About box's place may not be redrawn.
(cd "$work" && weston-screenshooter) || fail "weston-screenshooter"
box="$(convert "$work"/wayland-screenshot-*.png -format '%@' info:)"
[ "${box%%+*}" = 500x600 ] || fail "the window covers $box of the screen"
colours="$(convert "$work"/wayland-screenshot-*.png -trim +repage -crop 460x60+20+410 +repage \
    -format %k info:)"
[ "$colours" -gt 500 ] || fail "no board below the About box ($colours colours)"
press "menu item" Exit
ended "File > Exit"

# Without Qt's frame the client area is X11's under a typical frame.
WAYLAND_DEBUG=1 QT_WAYLAND_DISABLE_WINDOWDECORATION=1 "$1" >"$log" 2>&1 &
pid=$!
press "menu item" Exit
ended "File > Exit under the About box"
grep -q 'xdg_toplevel@[0-9]*\.set_min_size(498, 579)' "$log" ||
    fail "the client area without decorations is not 498x579: $(grep set_min_size "$log")"
