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
fields="$(dpkg-deb -f "$deb" Package Version Section Homepage; dpkg-deb -f "$data" Architecture)"
want="Package: daviz|Version: $2|Section: games|Homepage: $3|Architecture: all"
[ "$(echo "$fields" | tr '\n' '|')" = "$want|" ] || fail "control fields: $fields"
dpkg-deb -f "$deb" Depends Recommends | sed 's/^[A-Za-z]*://' | tr ',|' '\n\n' >"$work/names"
# shellcheck disable=SC2046 # the owners' names are single words
for pkg in libqt6widgets6 xdg-utils fonts-dejavu-core qt6-wayland "daviz-data (= $2)" $(dpkg -S \
    '*/qt6/plugins/platforms/libqxcb.so' '*/libpulse.so.0' | sed 's/[:,].*//' | sort -u); do
    grep -q "^ *$pkg\( \|$\)" "$work/names" || fail "the package does not name $pkg"
done
grep multimedia "$work/names" && fail "the package names Qt Multimedia"
dpkg-deb -x "$deb" "$work/root" && dpkg-deb -x "$data" "$work/root" || fail "dpkg-deb -x"
grep -L "^License: Expat" "$work/root/usr/share/doc/"*/copyright | grep . &&
    fail "a copyright without its licence"
check_tree "$work/root/usr" layout-deb.txt /usr/games/daviz
mkdir "$work/elsewhere"
ln -s "$work/root/usr/games/daviz" "$work/elsewhere/daviz"
"$(dirname "$0")/../shell/xsession.sh" one "$work/elsewhere/daviz" "$4" || fail "the unpacked game"
