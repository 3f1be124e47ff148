#!/bin/sh
# Unpacks the Debian packages far from the build, checks its files, and starts the game through a
# link to its launcher from / on a virtual X server: the window must come up showing the board.
# Usage: deb_run.sh DEB_FOLDER
set -u
# shellcheck source=SCRIPTDIR/check_tree.sh
. "$(dirname "$0")/check_tree.sh"
for tool in dpkg-deb Xvfb xdotool import convert; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
# shellcheck source=../shell/xdisplay.sh
. "$(dirname "$0")/../shell/xdisplay.sh"

work="$(mktemp -d /tmp/daviz-unpacked.XXXXXX)"
pid=""
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
    xdisplay_stop
    rm -rf "$work"
}
trap cleanup EXIT
xdisplay_start 1024x768 || { echo "FAIL: no virtual X server"; exit 1; }
for deb in "$1"/daviz_*.deb "$1"/daviz-data_*.deb; do
    dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x $deb"
done
check_tree "$work/root/usr" layout-deb.txt /usr/games/daviz

mkdir "$work/elsewhere"
ln -s "$work/root/usr/games/daviz" "$work/elsewhere/daviz"
(cd / && exec env -u QT_QPA_PLATFORM "$work/elsewhere/daviz" >"$work/game.log" 2>&1) &
pid=$!

window=""
for _ in $(seq 100); do
    window="$(xdotool search --onlyvisible --name '^Daviz$' 2>/dev/null | head -n 1)"
    [ -n "$window" ] && break
    if ! kill -0 "$pid" 2>/dev/null; then
        wait "$pid"
        fail "the game ended with status $? before its window came up: $(cat "$work/game.log")"
    fi
    sleep 0.1
done
[ -n "$window" ] || fail "no window titled Daviz"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root "$work/shot.png" || fail "no screenshot"
# The banner and the bottom rows of balls show around the About box: shaded balls take
# hundreds of colours where a missing picture leaves a flat area.
for area in 460x110+$((X + 20))+$((Y + 50)) 460x60+$((X + 20))+$((Y + 410)); do
    colours="$(convert "$work/shot.png" -crop "$area" +repage -format %k info:)"
    [ "$colours" -gt 500 ] || fail "no board in the screen's area $area ($colours colours)"
done

# The About box has the focus; once it is gone, no window manager hands it back.
xdotool key Return
sleep 0.5
xdotool windowfocus --sync "$window" key ctrl+x
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "Ctrl+X did not end the game"
wait "$pid"
status=$?
pid=""
[ "$status" = 0 ] || fail "the game ended with status $status"
echo "ok: unpacked package starts from / and shows the board"
