#!/bin/sh
# Makes the release packages and source tarball with scripts/package into OUT and checks them:
# lintian finds no error and no warning, the control fields, the copyrights. What the program
# only loads at run time must be named: the X11 platform plugin's owner and the Wayland plugin;
# the PulseAudio client it links too, and Qt Multimedia, which it no longer uses, must not be.
# Unpacked far from the build, the packages hold their files, and the game started through a
# link to its launcher from / is played on a virtual X server.
# Usage: deb.sh OUT VERSION HOMEPAGE SHELL_TESTS   (run in the build's data folder)
set -u
# shellcheck source=SCRIPTDIR/check_tree.sh
. "$(dirname "$0")/check_tree.sh"
need dpkg-deb lintian
"$(dirname "$0")/../../scripts/package" "$1" >"$1.log" 2>&1 ||
    { tail -n 40 "$1.log"; fail "scripts/package"; }
deb="$1/daviz_$2_$(dpkg --print-architecture).deb"
data="$1/daviz-data_$2_all.deb"
lintian --fail-on error,warning "$deb" "$data" || fail "lintian finds errors or warnings"
for field in Package=daviz "Version=$2" Section=games "Homepage=$3"; do
    [ "$(dpkg-deb -f "$deb" "${field%%=*}")" = "${field#*=}" ] || fail "not $field"
done
[ "$(dpkg-deb -f "$data" Architecture)" = all ] || fail "daviz-data is not for all architectures"
owner() { dpkg -S "$1" | head -n 1 | sed 's/[:,].*//'; }
dpkg-deb -f "$deb" Depends Recommends | sed 's/^[A-Za-z]*://' | tr ',|' '\n\n' |
    sed 's/^ *//' >"$work/names"
for pkg in libqt6widgets6 xdg-utils fonts-dejavu-core qt6-wayland "daviz-data (= $2)" \
    "$(owner '*/qt6/plugins/platforms/libqxcb.so')" "$(owner '*/libpulse.so.0')"; do
    grep -q "^$pkg\( \|$\)" "$work/names" || fail "the package does not name $pkg"
done
grep multimedia "$work/names" && fail "the package names Qt Multimedia"
dpkg-deb -x "$deb" "$work/root" && dpkg-deb -x "$data" "$work/root" || fail "dpkg-deb -x"
grep -L "^License: Expat" "$work/root/usr/share/doc/"*/copyright | grep . &&
    fail "a copyright without its licence"
check_tree "$work/root/usr" layout-deb.txt /usr/games/daviz
mkdir "$work/elsewhere"
ln -s "$work/root/usr/games/daviz" "$work/elsewhere/daviz"
"$(dirname "$0")/../shell/xsession.sh" one "$work/elsewhere/daviz" "$4" || fail "the unpacked game"
