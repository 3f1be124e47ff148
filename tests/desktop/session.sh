# shellcheck shell=sh
# Sourced by the checks of real windows and packages: a scratch folder $work, the game's $pid and
# the $servers a check starts, all ended and removed when it exits.
fail() {
    echo "FAIL: $*"
    exit 1
}
# need TOOL...: skips the check where one is missing.
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
