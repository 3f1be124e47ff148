#!/usr/bin/env bash
# xsession.sh tests|program|one GAME TESTS, run in the data folder.
set -u
game="$2"
tests="$3"
# shellcheck source=SCRIPTDIR/../desktop/session.sh
. "$(dirname "$0")/../desktop/session.sh"
# Without a display; a platform named on the command line must not rescue the start either.
err="$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 20 "$game" \
    -platform offscreen 2>&1 >/dev/null </dev/null)"
[ $? = 1 ] && printf %s "$err" | grep -qzx 'Daviz cannot start because [[:print:]]*display\.' ||
    fail "not status 1 with one sentence without a display: $err"
need Xvfb openbox xwininfo xdotool import
# -noreset: a server resets when its last client leaves, refusing the next game meanwhile.
Xvfb -displayfd 3 -screen 0 1280x1400x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
servers="$!"
await test -s "$work/display" || fail "no virtual X server"
DISPLAY=":$(head -n 1 "$work/display")"
# Silent: the cues have their own tests against a private sound server.
export DISPLAY QT_QPA_PLATFORM=xcb PULSE_SERVER="unix:$work/no-sound-server"
[ "$1" = tests ] && { "$tests"; exit $?; }

windows() { [ "$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)" = "$1" ]; }
titled() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep .; }
# shows SCALE COLUMN [LOOK]: the board as that scale draws it, the bottom row's cell at cx cy, LOOK.
shows() {
    import -window root "$work/shot.png" && read -r cx cy selected < <(
        "$tests" probe "$work/shot.png" "$bx" "$Y" "$1" "$2" 10 2>/dev/null) &&
        [ "${3:-$selected}" = "$selected" ]
}
# play SCALE: the window with its frame is 500 x 600 logical pixels; two clicks remove a group.
play() {
    (cd "${from:-$PWD}" && QT_SCALE_FACTOR="$1" exec "$game" </dev/null) &
    pid=$!
    window="$(await titled '^Daviz$')" || fail "$1: no window titled Daviz"
    sleep 1
    # The client's place from the server itself: xdotool counts a frame's offset twice.
    read -r Y bx size want < <(xwininfo -stats -wm -id "$window" | awk -v s="$1" -F ': *|, *' '
        /Absolute upper-left X/ { x = $2 } /Absolute upper-left Y/ { y = $2 } /Width/ { w = $2 }
        /Height/ { h = $2 } /Frame extents/ { w += $2 + $3; h += $4 + $5 }
        END { printf "%d %d %dx%d %dx%d\n", y, x + 17 * s + 0.5, w, h, 500 * s, 600 * s }')
    [ "$size" = "$want" ] || fail "$1: the window with its frame is $size, not $want"
    xdotool key Return
    for column in $(seq 0 16); do
        [ "$column" = 16 ] && fail "$1: no click on the bottom row selected its cell's group"
        shows "$1" "$column" || fail "$1: the board is not where that set draws it"
        xdotool mousemove "$cx" "$cy" click 1 sleep 0.4
        shows "$1" "$column" 1 && break
    done
    xdotool click 1
    await shows "$1" "$column" 0 || fail "$1: the second click did not remove the group"
    xdotool key ctrl+x
    ended "$1: Ctrl+X"
}

if [ "$1" = one ]; then # as a desktop starts it: the platform is the game's choice
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
    from=/ play 1
    exit 0
fi
# The "Error" box stands alone; then the frame and About box take keys with no window manager.
cp -r "$PWD" "$work/broken" && rm "$work/broken/matrix.bmp" || fail "could not copy the data"
(cd "$work/broken" && exec "$game" </dev/null) &
pid=$!
box="$(await titled '^Error$')" || fail "no Error box"
windows 1 || fail "more than the Error box on the screen"
xdotool windowfocus --sync "$box" key Return
await windows 2 || fail "no frame and About box after the Error box"
xdotool key Return
xdotool windowfocus --sync "$(titled '^Daviz$')" key ctrl+n ctrl+x
ended "Ctrl+X after the Error box"
for scale in 1.25 1.5 2; do
    play "$scale"
done
# It runs the command once it manages the screen.
openbox --startup "touch $work/managing" >/dev/null 2>&1 &
servers="$servers $!"
await test -e "$work/managing" || fail "openbox did not start"
play 1
