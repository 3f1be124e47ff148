#!/bin/sh
# tarball.sh OUT VERSION: the source tarball scripts/package made.
set -u
. "$(dirname "$0")/../desktop/session.sh"
# scripts/package makes it only from a git work tree.
[ -f "$1/daviz-$2.tar.gz" ] || git -C "$(dirname "$0")" rev-parse --git-dir >/dev/null 2>&1 ||
    { echo "SKIP: not a git work tree"; exit 77; }
tar -xzf "$1/daviz-$2.tar.gz" -C "$work" || fail "no $1/daviz-$2.tar.gz"
(cd "$work/daviz-$2" && ls README.md scripts/test scripts/packages.txt res/screenshot.png \
    res/screenshot@2x.png >/dev/null) || fail "the tarball lacks a file the README names"
# Relative to the unpacked folder, the compiler cache knows the files from the last run.
CCACHE_BASEDIR="$work/daviz-$2" CCACHE_NOHASHDIR=1 "$work/daviz-$2/scripts/play" --build-only \
    >"$work/log" 2>&1 || { tail -n 30 "$work/log"; fail "scripts/play --build-only"; }
