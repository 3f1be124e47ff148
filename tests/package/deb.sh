#!/bin/sh
# deb.sh OUT VERSION: unpacks into OUT/root, leaving OUT/root/elsewhere/daviz for the play on X.
set -u
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
# shellcheck disable=SC2046 # the owners' names are single words
for pkg in libqt6widgets6 xdg-utils fonts-dejavu-core qt6-wayland "daviz-data (= $2)" $(dpkg -S \
    '*/qt6/plugins/platforms/libqxcb.so' '*/libpulse.so.0' | sed 's/[:,].*//' | sort -u); do
    grep -q "^ *$pkg\( \|$\)" "$work/names" || fail "the package does not name $pkg"
done
rm -rf "$1/root" && mkdir -p "$1/root/elsewhere" || fail "could not empty $1/root"
dpkg-deb -x "$deb" "$1/root" && dpkg-deb -x "$data" "$1/root" || fail "dpkg-deb -x"
check_tree "$1/root/usr" layout-deb.txt /usr/games/daviz
ln -s ../usr/games/daviz "$1/root/elsewhere/daviz"
