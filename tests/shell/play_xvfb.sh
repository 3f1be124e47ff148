#!/usr/bin/env bash
# Plays the real program on a virtual X server: the About box comes up over the board and goes
# with Return, a click selects a group (its balls show the select look on the screen),
# Ctrl+Shift+N leaves it alone, a second click removes it, Ctrl+X ends the program.
# Usage: play_xvfb.sh PROGRAM SCREEN_PROBE   (run in the data folder)
set -u
program="$1"
probe="$2"
for tool in xvfb-run xdotool import; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
if [ -z "${DAVIZ_IN_XVFB:-}" ]; then
    DAVIZ_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

shots="$(mktemp -d)"
pid=""
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
    rm -rf "$shots"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
shot() { import -window root "$shots/$1.png" && echo "$shots/$1.png"; }

QT_QPA_PLATFORM=xcb "$program" &
pid=$!

window=""
for _ in $(seq 100); do
    window="$(xdotool search --onlyvisible --name '^Daviz$' 2>/dev/null | head -n 1)"
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "no window titled Daviz"
sleep 1

eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 500 ] && [ "$HEIGHT" = 600 ] || fail "window is ${WIDTH}x${HEIGHT}, not 500x600"

# The board is painted behind the About box: its top rows show already.
origin="$("$probe" locate "$(shot about)" "$X" "$Y" $((X + 40)) $((Y + 120)))" ||
    fail "no board picture on the screen behind the About box"
read -r ox oy <<<"$origin"
[ $((ox - X)) = 17 ] || fail "board is $((ox - X)) pixels from the window's left edge, not 2 + 15"

xdotool key Return
sleep 0.5

# A ball of the bottom row that belongs to a group: the first one that takes the select look.
selected=""
for column in $(seq 0 15); do
    read -r px py <<<"$("$probe" cell "$column" 10)"
    xdotool mousemove $((ox + px)) $((oy + py)) click 1
    sleep 0.3
    if [ "$("$probe" look "$(shot "click$column")" "$ox" "$oy" "$column" 10)" = select ]; then
        selected="$column"
        break
    fi
done
[ -n "$selected" ] || fail "no click on the bottom row selected a group"

xdotool key ctrl+shift+n
sleep 0.3
[ "$("$probe" look "$(shot shifted)" "$ox" "$oy" "$selected" 10)" = select ] ||
    fail "Ctrl+Shift+N acted like Ctrl+N"

xdotool click 1
sleep 1
look="$("$probe" look "$(shot removed)" "$ox" "$oy" "$selected" 10)"
case "$look" in
select | other) fail "the second click did not remove the group ($look)" ;;
esac

xdotool key ctrl+x
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then fail "Ctrl+X did not end the program"; fi
wait "$pid"
status=$?
pid=""
[ "$status" = 0 ] || fail "the program ended with status $status"
echo "ok: group at column $selected selected and removed on the screen"
