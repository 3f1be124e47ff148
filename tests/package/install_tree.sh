#!/bin/sh
# Installs the build tree under a scratch prefix with a space in it, checks what lands there and
# starts the launcher the menu entry names from another folder.
# Usage: install_tree.sh BUILD_DIR HOMEPAGE
set -u
# shellcheck source=SCRIPTDIR/check_tree.sh
. "$(dirname "$0")/check_tree.sh"
build="$1"
homepage="$2"
work="$(mktemp -d /tmp/daviz-install.XXXXXX)"
trap 'rm -rf "$work"' EXIT
prefix="$work/a prefix"

cmake --install "$build" --prefix "$prefix" >"$work/log" 2>&1 || { cat "$work/log"; fail "cmake --install"; }
check_tree "$prefix" layout.txt "$prefix/bin/daviz"
check_metainfo "$prefix/share/metainfo/org.example.Daviz.metainfo.xml" "$homepage"

# The launcher finds the program and the data: the game is still up (waiting in its About box)
# when the time runs out, where a wrong path would end it at once.
(cd / && QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/bin/daviz" >"$work/game.log" 2>&1)
status=$?
[ "$status" = 124 ] || fail "the launcher ended with status $status: $(cat "$work/game.log")"
echo "ok: installed tree and its metadata"
