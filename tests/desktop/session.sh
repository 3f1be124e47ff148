# shellcheck shell=sh
# Sourced by the checks: $work, the game's $pid and the $servers they start go at the exit.
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
ended() {
    timeout 15 tail --pid="$pid" -f /dev/null || fail "$1 did not end the game"
    wait "$pid" || fail "the game ended with status $? after $1"
    pid=""
}
# check_tree PREFIX LAYOUT LAUNCHER: the layout's files, icons as large as their folders say.
check_tree() {
    (cd "$1" && find . -type f -o -type l | sed 's|^\./||' | sort) |
        diff -u "$(dirname "$0")/$2" - ||
        fail "the files differ from $2, kept sorted (- missing, + extra)"
    (cd "$1/share/icons/hicolor" && file ./*/apps/daviz.png) |
        grep -v '^\./\([0-9]*\)x\1/apps/daviz.png: *PNG image data, \1 x \1,' && fail "icon size"
    entry="$1/share/applications/org.example.Daviz.desktop"
    desktop-file-validate "$entry" || fail "desktop-file-validate"
    grep -qxF "Exec=\"$3\"" "$entry" || fail "the menu entry does not start $3"
}
# Waits for the servers: one still closing could take its socket from the next check's server.
stop() {
    kill ${pid:-} ${servers:-} 2>/dev/null
    wait ${pid:-} ${servers:-} 2>/dev/null
    rm -rf "$work"
}
work="$(mktemp -d /tmp/daviz-session.XXXXXX)"
trap stop EXIT
