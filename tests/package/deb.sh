#!/bin/sh
# deb.sh OUT VERSION: what scripts/package makes; OUT/root/elsewhere/daviz is left for the X play.
set -u
# shellcheck source=SCRIPTDIR/../desktop/session.sh
. "$(dirname "$0")/../desktop/session.sh"
need dpkg-deb lintian
"$(dirname "$0")/../../scripts/package" "$1" >"$1.log" 2>&1 ||
    { tail -n 40 "$1.log"; fail "scripts/package"; }
# Their names are made from their Package, Version and Architecture fields.
deb="$1/daviz_$2_$(dpkg --print-architecture).deb"
data="$1/daviz-data_$2_all.deb"
lintian --fail-on error,warning "$deb" "$data" || fail "lintian finds errors or warnings"
# What the program only loads at run time must be named too.
dpkg-deb -f "$deb" Depends Recommends | sed 's/^[A-Za-z]*://' | tr ',|' '\n\n' >"$work/names"
for pkg in libqt6widgets6 xdg-utils fonts-dejavu-core qt6-wayland "daviz-data (= $2)" $(dpkg -S \
    '*/qt6/plugins/platforms/libqxcb.so' '*/libpulse.so.0' | sed 's/[:,].*//' | sort -u); do
    grep -q "^ *$pkg\( \|$\)" "$work/names" || fail "the package does not name $pkg"
done
rm -rf "$1/root" && mkdir -p "$1/root/elsewhere" || fail "could not empty $1/root"
dpkg-deb -x "$deb" "$1/root" && dpkg-deb -x "$data" "$1/root" || fail "dpkg-deb -x"
check_tree "$1/root/usr" layout-deb.txt /usr/games/daviz
ln -s ../usr/games/daviz "$1/root/elsewhere/daviz"
# The source tarball (only from git) builds as its README says; ccache takes its files as ours.
git -C "$(dirname "$0")" rev-parse --git-dir >/dev/null 2>&1 || exit 0
tar -xzf "$1/daviz-$2.tar.gz" -C "$work" || fail "no $1/daviz-$2.tar.gz"
(cd "$work/daviz-$2" && ls README.md scripts/test scripts/packages.txt res/screenshot.png \
    res/screenshot@2x.png >/dev/null) || fail "the tarball lacks a file the README names"
CCACHE_BASEDIR="$work/daviz-$2" CCACHE_NOHASHDIR=1 "$work/daviz-$2/scripts/play" --build-only \
    >"$work/log" 2>&1 || { tail -n 30 "$work/log"; fail "scripts/play --build-only"; }
