# shellcheck shell=sh
# Sourced by the checks of real windows and packages: a scratch folder $work, the game's $pid and
# the $servers a check starts, all ended and removed when it exits.
fail() {
    echo "FAIL: $*"
    exit 1
}
need() {
    which "$@" >/dev/null || { echo "SKIP: one of $* is missing"; exit 77; }
}
# await COMMAND...: up to 15 s, as a loaded machine starts programs slowly.
await() {
    for _ in $(seq 150); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
# ended HOW: the game ends after HOW, with status 0.
ended() {
    timeout 15 tail --pid="$pid" -f /dev/null || fail "$1 did not end the game"
    wait "$pid" || fail "the game ended with status $? after $1"
    pid=""
}
# check_tree PREFIX LAYOUT LAUNCHER: the files are those of the layout (in this folder), each
# icon has the size its folder names, and the menu entry is valid and starts LAUNCHER.
check_tree() {
    (cd "$1" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$work/found"
    sort "$(dirname "$0")/$2" | diff -u - "$work/found" ||
        fail "the files differ from $2 (- missing, + extra)"
    (cd "$1/share/icons/hicolor" && file ./*/apps/daviz.png) |
        grep -v '^\./\([0-9]*\)x\1/apps/daviz.png: *PNG image data, \1 x \1,' && fail "icon size"
    entry="$1/share/applications/org.example.Daviz.desktop"
    desktop-file-validate "$entry" || fail "desktop-file-validate"
    grep -qxF "Exec=\"$3\"" "$entry" || fail "the menu entry does not start $3"
}
# starts FOLDER PROGRAM: the game started there is still waiting in its About box when the time
# runs out, where a wrong path would end it at once.
starts() {
    (cd "$1" && QT_QPA_PLATFORM=offscreen timeout 3 "$2" >"$work/game.log" 2>&1)
    status=$?
    [ "$status" = 124 ] || fail "$2 ended with status $status: $(cat "$work/game.log")"
}
# Waits for the servers: one still closing could take its socket from the next check's server.
# shellcheck disable=SC2086
stop() {
    kill $pid $servers 2>/dev/null
    wait $pid $servers 2>/dev/null
    rm -rf "$work"
}
work="$(mktemp -d /tmp/daviz-session.XXXXXX)"
pid=""
servers=""
trap stop EXIT
