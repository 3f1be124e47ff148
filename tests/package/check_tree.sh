# shellcheck shell=sh
# Sourced by the package checks, beside the real windows' helpers.
# shellcheck source=SCRIPTDIR/../desktop/session.sh
. "$(dirname "$0")/../desktop/session.sh"

# check_tree PREFIX LAYOUT LAUNCHER: the files there are those of the layout, the icons have
# their sizes, and the menu entry is valid and starts LAUNCHER, a full path.
check_tree() {
    (cd "$1" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$work/found"
    sort "$(dirname "$0")/$2" | diff -u - "$work/found" ||
        fail "the files differ from $2 (- missing, + extra)"
    for size in 16 24 32 48 64 128 256; do
        file -b "$1/share/icons/hicolor/${size}x$size/apps/daviz.png" |
            grep -q "^PNG image data, $size x $size," || fail "the ${size}px icon has another size"
    done
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
