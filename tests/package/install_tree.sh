#!/bin/sh
# Installs the build tree under a scratch prefix and checks what lands there: the files, the
# desktop entry and the AppStream metadata as the validators see them.
# Usage: install_tree.sh BUILD_DIR HOMEPAGE
set -u
# shellcheck source=SCRIPTDIR/check_tree.sh
. "$(dirname "$0")/check_tree.sh"
build="$1"
homepage="$2"
work="$(mktemp -d /tmp/daviz-install.XXXXXX)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" >"$work/log" 2>&1 || { cat "$work/log"; fail "cmake --install"; }
check_tree "$prefix"

desktop-file-validate "$prefix/share/applications/org.example.Daviz.desktop" ||
    fail "desktop-file-validate"
metainfo="$prefix/share/metainfo/org.example.Daviz.metainfo.xml"
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate"
grep -q "<url type=\"homepage\">$homepage</url>" "$metainfo" || fail "no homepage $homepage"
echo "ok: installed tree and its metadata"
