#!/usr/bin/env bash
# Run in the data folder:  xscales.sh GAME TESTS
# The game on a virtual X server at scale factors 1, 1.25, 1.5 and 2: the window's size in
# device pixels, the board found where the set for that ratio is drawn, and a click on a
# cell's middle taking that cell (its group shows the select look). DAVIZ_SHOTS=DIR keeps the
# screenshots.
set -u
game="$(readlink -f "$1")"
tests="$(readlink -f "$2")"
fail() { echo "FAIL: $*"; exit 1; }
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "SKIP: no $tool"; exit 77; }
done
# shellcheck source=xdisplay.sh
. "$(dirname "$0")/xdisplay.sh"

work="$(mktemp -d)"
pid=""
trap 'kill $pid 2>/dev/null; xdisplay_stop; rm -rf "$work"' EXIT
xdisplay_start 1280x1400 || fail "no virtual X server"
await() { for _ in $(seq 150); do "$@" && return 0; sleep 0.1; done; return 1; }
titled() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep .; }
gone() { ! kill -0 "$pid" 2>/dev/null; }
near() { [ "$1" -ge "$(($2 - 2))" ] && [ "$1" -le "$(($2 + 2))" ]; }

for scale in 1 1.25 1.5 2; do
    QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" "$game" </dev/null 2>"$work/stderr" &
    pid=$!
    window="$(await titled '^Daviz$')" ||
        fail "$scale: no window titled Daviz; $(gone && echo ended || echo running): $(cat "$work/stderr")"
    sleep 1
    xdotool key Return sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$window")"
    want_w="$(awk "BEGIN { printf \"%d\", 500 * $scale + 0.5 }")"
    want_h="$(awk "BEGIN { printf \"%d\", 600 * $scale + 0.5 }")"
    near "$WIDTH" "$want_w" && near "$HEIGHT" "$want_h" ||
        fail "$scale: window is ${WIDTH}x${HEIGHT}, not about ${want_w}x${want_h}"
    look() {
        import -window root "$work/shot.png"
        "$tests" probe "$work/shot.png" "$X" "$Y" "$1" 10 "$scale" 2>/dev/null | tee "$work/probe" | cut -d' ' -f5
    }
    look 0 >/dev/null
    [ -s "$work/probe" ] || fail "$scale: the board is not on the screen as that set draws it"
    found=""
    for column in $(seq 0 15); do
        look "$column" >/dev/null
        read -r _ _ cx cy _ <"$work/probe"
        xdotool mousemove "$cx" "$cy" click 1 sleep 0.4
        [ "$(look "$column")" = select ] && { found="$column"; break; }
    done
    [ -n "$found" ] || fail "$scale: no click on the bottom row selected its cell's group"
    [ -z "${DAVIZ_SHOTS:-}" ] || cp "$work/shot.png" "$DAVIZ_SHOTS/scale-$scale.png"
    xdotool key ctrl+x
    await gone || fail "$scale: Ctrl+X did not end the game"
    wait "$pid"
    pid=""
    echo "ok: scale $scale: ${WIDTH}x${HEIGHT}, board found, column $found selected"
done
