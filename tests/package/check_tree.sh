# Shared by the package tests: compares an installed tree with a layout file and checks the icons
# and the menu entry.
# shellcheck shell=sh
fail() {
    echo "FAIL: $*"
    exit 1
}

# check_tree PREFIX LAYOUT LAUNCHER: LAUNCHER is the full path the menu entry must start.
check_tree() {
    (cd "$1" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$1.found"
    sort "$(dirname "$0")/$2" | diff -u - "$1.found" ||
        fail "the installed files differ from $2 (- missing, + extra)"
    [ -x "$1/libexec/daviz/duvurir" ] || fail "the program is not executable"
    for size in 16 24 32 48 64 128 256; do
        file -b "$1/share/icons/hicolor/${size}x$size/apps/daviz.png" |
            grep -q "^PNG image data, $size x $size," || fail "the ${size}px icon is not a ${size}x$size PNG"
    done
    entry="$1/share/applications/org.example.Daviz.desktop"
    desktop-file-validate "$entry" || fail "desktop-file-validate"
    grep -qxF "Exec=\"$3\"" "$entry" || fail "the menu entry does not start $3: $(grep ^Exec= "$entry")"
}

# check_metainfo FILE HOMEPAGE: the validators' strict view, the homepage, and screenshots whose
# sizes are those of the shipped files.
check_metainfo() {
    appstreamcli validate --no-net --strict "$1" || fail "appstreamcli validate"
    grep -q "<url type=\"homepage\">$2</url>" "$1" || fail "no homepage $2"
    res="$(dirname "$0")/../../res"
    for shot in screenshot.png:1 screenshot@2x.png:2; do
        name="${shot%:*}"
        size="$(file -b "$res/$name" | sed -n 's/^PNG image data, \([0-9]*\) x \([0-9]*\),.*/width="\1" height="\2"/p')"
        grep -qF "<image type=\"source\" $size scale=\"${shot#*:}\">$2screenshots/$name</image>" "$1" ||
            fail "no image $name with its size $size"
    done
}
