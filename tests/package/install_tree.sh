#!/bin/sh
# install_tree.sh BUILD_DIR HOMEPAGE: installs under a prefix with a space in it, checks what lands
# there and its metadata, and starts from / the launcher the menu entry names.
set -u
. "$(dirname "$0")/../desktop/session.sh"
prefix="$work/a prefix"
cmake --install "$1" --prefix "$prefix" >"$work/log" 2>&1 ||
    { cat "$work/log"; fail "cmake --install"; }
check_tree "$prefix" layout.txt "$prefix/bin/daviz"
metainfo="$prefix/share/metainfo/org.example.Daviz.metainfo.xml"
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate"
grep -q "<url type=\"homepage\">$2</url>" "$metainfo" || fail "no homepage $2"
for shot in screenshot.png:1 screenshot@2x.png:2; do
    size="$(identify -format 'width="%w" height="%h"' "$(dirname "$0")/../../res/${shot%:*}")"
    image="<image type=\"source\" $size scale=\"${shot#*:}\">$2screenshots/${shot%:*}</image>"
    grep -qF "$image" "$metainfo" || fail "no image ${shot%:*} with its size $size"
done
# Still waiting in its About box when the time runs out, where a wrong path would end it at once.
(cd / && QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/bin/daviz" >"$work/log" 2>&1)
[ $? = 124 ] || fail "the launcher did not start the game: $(cat "$work/log")"
