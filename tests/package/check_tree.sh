# Shared by the package tests: compares an installed tree with layout.txt and checks the icons.
# shellcheck shell=sh
fail() {
    echo "FAIL: $*"
    exit 1
}

# check_tree PREFIX
check_tree() {
    (cd "$1" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$1.found"
    sort "$(dirname "$0")/layout.txt" | diff -u - "$1.found" ||
        fail "the installed files differ from layout.txt (- missing, + extra)"
    for f in bin/daviz libexec/daviz/duvurir; do
        [ -x "$1/$f" ] || fail "$f is not executable"
    done
    for size in 16 32 48; do
        file -b "$1/share/icons/hicolor/${size}x$size/apps/daviz.png" |
            grep -q "^PNG image data, $size x $size," || fail "the ${size}px icon is not a ${size}x$size PNG"
    done
}
