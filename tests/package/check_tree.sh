# shellcheck shell=sh
# Sourced by the package checks, beside the real windows' helpers.
# shellcheck source=SCRIPTDIR/../desktop/session.sh
. "$(dirname "$0")/../desktop/session.sh"

# check_tree PREFIX LAYOUT LAUNCHER: the files there are those of the layout, each icon has the
# size its folder names, and the menu entry is valid and starts LAUNCHER, a full path.
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

# starts FOLDER PROGRAM: the game started there is still up, waiting in its About box, when the
# time runs out, where a wrong path would end it at once.
starts() {
    (cd "$1" && QT_QPA_PLATFORM=offscreen timeout 3 "$2" >"$work/game.log" 2>&1)
    status=$?
    [ "$status" = 124 ] || fail "$2 ended with status $status: $(cat "$work/game.log")"
}
