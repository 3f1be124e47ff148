#!/bin/sh
# install_tree.sh BUILD_DIR HOMEPAGE: installs under a prefix with a space in it.
set -u
# shellcheck source=SCRIPTDIR/../desktop/session.sh
. "$(dirname "$0")/../desktop/session.sh"
prefix="$work/a prefix"
cmake --install "$1" --prefix "$prefix" >/dev/null || fail "cmake --install"
check_tree "$prefix" layout.txt "$prefix/bin/daviz"
metainfo="$prefix/share/metainfo/org.example.Daviz.metainfo.xml"
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate"
size="$(identify -format 'width="%w" height="%h"' "$(dirname "$0")/../../res/screenshot@2x.png")"
grep -qF "<image type=\"source\" $size scale=\"2\">$2screenshots/screenshot@2x.png</image>" \
    "$metainfo" || fail "no screenshot@2x.png with its size $size"
# Still up in its About box after 3 s, where a wrong path would end it at once.
(cd / && QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/bin/daviz" >"$work/log" 2>&1)
[ $? = 124 ] || fail "the launcher did not start the game: $(cat "$work/log")"
