#!/bin/sh
# Unpacks the source tarball that scripts/package made and runs the README's first command there
# up to the start of the game; the game built from it then starts.
# Usage: tarball.sh OUT VERSION
set -u
# shellcheck source=SCRIPTDIR/check_tree.sh
. "$(dirname "$0")/check_tree.sh"
tarball="$1/daviz-$2.tar.gz"
if [ ! -f "$tarball" ]; then
    # scripts/package makes it only from a git work tree.
    git -C "$(dirname "$0")" rev-parse --git-dir >/dev/null 2>&1 || { echo "SKIP: not a git work tree"; exit 77; }
    fail "no $tarball"
fi
work="$(mktemp -d /tmp/daviz-tarball.XXXXXX)"
trap 'rm -rf "$work"' EXIT
tar -xzf "$tarball" -C "$work" || fail "tar"
src="$work/daviz-$2"
# Relative to the unpacked folder, the compiler cache knows the files from the last run.
CCACHE_BASEDIR="$src" CCACHE_NOHASHDIR=1 "$src/scripts/play" --build-only >"$work/log" 2>&1 ||
    { tail -n 30 "$work/log"; fail "scripts/play --build-only"; }
(cd "$src/build/data" && QT_QPA_PLATFORM=offscreen timeout 3 ../duvurir >"$work/game.log" 2>&1)
status=$?
[ "$status" = 124 ] || fail "the game ended with status $status: $(cat "$work/game.log")"
echo "ok: the game builds and starts from $tarball"
