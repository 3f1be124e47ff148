#!/bin/sh
# Unpacks the Debian packages far from the build, checks its files, and plays the game started
# through a link to its launcher from / on a virtual X server.
# Usage: deb_run.sh DEB_FOLDER SHELL_TESTS   (run in the build's data folder)
set -u
# shellcheck source=SCRIPTDIR/check_tree.sh
. "$(dirname "$0")/check_tree.sh"
need dpkg-deb
for deb in "$1"/daviz_*.deb "$1"/daviz-data_*.deb; do
    dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x $deb"
done
check_tree "$work/root/usr" layout-deb.txt /usr/games/daviz
mkdir "$work/elsewhere"
ln -s "$work/root/usr/games/daviz" "$work/elsewhere/daviz"
"$(dirname "$0")/../shell/xsession.sh" one "$work/elsewhere/daviz" "$2" || fail "the unpacked game"
