#!/usr/bin/env bash
# Run in the data folder:  xsession.sh nodisplay GAME | tests TESTS | program GAME TESTS
#   nodisplay: without a display the game says so in one sentence and ends with status 1
#   tests:     the shell tests on a virtual X server
#   program:   the game there: played in the data folder and with broken waves, then started
#              in folders holding one broken picture each (the table at the end)
set -u
mode="$1"
game="$(readlink -f "$2")"
tests="$(readlink -f "${3:-$2}")"
fail() { echo "FAIL: $*"; exit 1; }
if [ "$mode" = nodisplay ]; then
    # A platform named on the command line must not rescue the start either.
    err="$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 20 "$game" -platform \
        offscreen 2>&1 >/dev/null </dev/null)"
    status=$?
    [ "$status" = 1 ] && [ "$(grep -c . <<<"$err")" = 1 ] &&
        grep -q '^Daviz cannot start because .*display\.$' <<<"$err" || fail "status $status: $err"
    exit 0
fi
for tool in Xvfb openbox xprop xdotool import; do
    command -v "$tool" >/dev/null || { echo "SKIP: no $tool"; exit 77; }
done
# shellcheck source=xdisplay.sh
. "$(dirname "$0")/xdisplay.sh"

work="$(mktemp -d)"
pid=""
trap 'kill $pid 2>/dev/null; xdisplay_stop; rm -rf "$work"' EXIT
xdisplay_start 1024x768 || fail "no virtual X server"
# Silent: the cues have their own tests against a private sound server.
export PULSE_SERVER="unix:$work/no-sound-server"
[ "$mode" = tests ] && { QT_QPA_PLATFORM=xcb "$tests"; exit $?; }

# Waits up to 15 s for COMMAND to succeed (a loaded machine starts programs slowly).
await() { for _ in $(seq 150); do "$@" && return 0; sleep 0.1; done; return 1; }
windows() { [ "$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)" = "$1" ]; }
titled() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep .; }
gone() { ! kill -0 "$pid" 2>/dev/null; }
start() {
    (cd "$1" && QT_QPA_PLATFORM=xcb exec "$game" </dev/null) &
    pid=$!
}
quit() { # Ctrl+X ends the game with status 0
    xdotool key ctrl+x
    await gone || fail "$1: Ctrl+X did not end the game"
    wait "$pid"
    status=$?
    pid=""
    [ "$status" = 0 ] || fail "$1: the game ended with status $status"
}
# The whole window, with the frame a window manager puts around it, is 500 by 600.
whole() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    read -r l r t b < <(xprop -id "$window" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$' | tr -d ,)
    [ "$((WIDTH + ${l:-0} + ${r:-0}))x$((HEIGHT + ${t:-0} + ${b:-0}))" = 500x600 ] ||
        fail "$1: window is ${WIDTH}x${HEIGHT} inside a frame of ${l:-0},${r:-0},${t:-0},${b:-0}"
}
# The board is painted behind the About box; Return closes it; a click on the bottom row
# selects a group (its balls take the select look on the screen), Ctrl+Shift+N leaves it,
# a second click removes it.
play() {
    start "$1"
    window="$(await titled '^Daviz$')" || fail "$1: no window titled Daviz"
    sleep 1
    whole "$1"
    [ -z "$2" ] || { xdotool key Return sleep 0.3; quit "$1"; return; }
    look() { "$tests" probe "$(import -window root "$work/shot.png" && echo "$work/shot.png")" \
        "$X" "$Y" "$1" 10 | tee "$work/probe" | cut -d' ' -f5; }
    look 0 >/dev/null
    read -r ox _ cx cy _ <"$work/probe"
    [ "$((ox - X))" = 17 ] || fail "$1: board not at 2 + 15 pixels from the left"
    xdotool key Return
    for column in $(seq 0 16); do
        [ "$column" = 16 ] && fail "$1: no click on the bottom row selected a group"
        look "$column" >/dev/null
        read -r _ _ cx cy _ <"$work/probe"
        xdotool mousemove "$cx" "$cy" click 1 sleep 0.3
        [ "$(look "$column")" = select ] && break
    done
    xdotool key ctrl+shift+n sleep 0.3
    [ "$(look "$column")" = select ] || fail "$1: Ctrl+Shift+N acted as Ctrl+N"
    xdotool click 1 sleep 1
    [ "$(look "$column")" = tile ] || fail "$1: the second click did not remove the group"
    quit "$1"
    echo "ok: $1: a group removed at column $column"
}

play "$PWD" ""
xdisplay_window_manager || fail "openbox did not start"
play "$PWD" framed
echo "ok: framed by openbox, ${l}+${WIDTH}+${r} by ${t}+${HEIGHT}+${b}"
kill "$xdisplay_wm"
"$tests" break "$work/waves" select.wav missing remove.wav empty empty.wav garbage gameover.wav \
    header || fail "could not break the waves"
play "$work/waves" ""
# The "Error" box stands alone; after it the frame and the About box come up and work.
while read -r -u 3 file kinds; do
    for kind in $kinds; do
        rm -rf "$work/case"
        "$tests" break "$work/case" "$file" "$kind" || fail "could not break $file as $kind"
        start "$work/case"
        box="$(await titled '^Error$')" || fail "$file $kind: no Error box"
        windows 1 || fail "$file $kind: more than the Error box on the screen"
        xdotool windowfocus --sync "$box" key Return
        await windows 2 || fail "$file $kind: no frame and About box after the Error box"
        xdotool key Return
        await windows 1 || fail "$file $kind: the About box did not close"
        xdotool windowfocus --sync "$(titled '^Daviz$')" key ctrl+n # no window manager to do it
        quit "$file $kind"
        echo "ok: $file $kind"
    done
done 3<<'EOF'
matrix.bmp missing huge
blue.bmp size
magenta.bmp folder
EOF
