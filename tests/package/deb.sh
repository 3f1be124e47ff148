#!/bin/sh
# Makes the release packages and source tarball with scripts/package into OUT and checks them:
# lintian finds no error and no warning, the control fields, the copyrights. What the program
# only loads at run time must be named: the X11 platform plugin's owner and the Wayland plugin;
# the PulseAudio client it links too, and Qt Multimedia, which it no longer uses, must not be.
# Unpacked into OUT/root, the packages hold their files; OUT/root/elsewhere/daviz, a link to the
# launcher, is left for the play on a virtual X server.
# Usage: deb.sh OUT VERSION HOMEPAGE   (run in the build's data folder)
set -u
# shellcheck source=SCRIPTDIR/check_tree.sh
. "$(dirname "$0")/check_tree.sh"
need dpkg-deb lintian
"$(dirname "$0")/../../scripts/package" "$1" >"$1.log" 2>&1 ||
    { tail -n 40 "$1.log"; fail "scripts/package"; }
deb="$1/daviz_$2_$(dpkg --print-architecture).deb"
data="$1/daviz-data_$2_all.deb"
lintian --fail-on error,warning "$deb" "$data" || fail "lintian finds errors or warnings"
fields="$(dpkg-deb -f "$deb" Package Version Section Homepage
    dpkg-deb -f "$data" Package Architecture)"
want="Package: daviz|Version: $2|Section: games|Homepage: $3|Package: daviz-data|Architecture: all"
[ "$(echo "$fields" | tr '\n' '|')" = "$want|" ] || fail "control fields: $fields"
dpkg-deb -f "$deb" Depends Recommends | sed 's/^[A-Za-z]*://' | tr ',|' '\n\n' >"$work/names"
# shellcheck disable=SC2046 # the owners' names are single words
for pkg in libqt6widgets6 xdg-utils fonts-dejavu-core qt6-wayland "daviz-data (= $2)" $(dpkg -S \
    '*/qt6/plugins/platforms/libqxcb.so' '*/libpulse.so.0' | sed 's/[:,].*//' | sort -u); do
    grep -q "^ *$pkg\( \|$\)" "$work/names" || fail "the package does not name $pkg"
done
grep multimedia "$work/names" && fail "the package names Qt Multimedia"
rm -rf "$1/root" && mkdir -p "$1/root/elsewhere" || fail "could not empty $1/root"
dpkg-deb -x "$deb" "$1/root" && dpkg-deb -x "$data" "$1/root" || fail "dpkg-deb -x"
grep -L "^License: Expat" "$1/root/usr/share/doc/"*/copyright | grep . &&
    fail "a copyright without its licence"
check_tree "$1/root/usr" layout-deb.txt /usr/games/daviz
# For the play on a virtual X server, started through a link from elsewhere.
ln -s ../usr/games/daviz "$1/root/elsewhere/daviz"
