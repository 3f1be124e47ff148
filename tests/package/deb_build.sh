#!/bin/sh
# Makes the release packages and source tarball with scripts/package into OUT and checks them:
# lintian finds no error and no warning, the control fields, the copyright, the metadata as the
# validator sees it, and the tarball's contents. What the program only loads at run time must be
# named: the X11 platform plugin's owner and the Wayland plugin; the PulseAudio client it links
# too, and Qt Multimedia, which it no longer uses, must not be.
# Usage: deb_build.sh OUT VERSION HOMEPAGE
set -u
# shellcheck source=SCRIPTDIR/check_tree.sh
. "$(dirname "$0")/check_tree.sh"
out="$1"
version="$2"
homepage="$3"
for tool in dpkg-deb lintian appstreamcli; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done
root="$(cd "$(dirname "$0")/../.." && pwd)"
"$root/scripts/package" "$out" >"$out.log" 2>&1 || { tail -n 40 "$out.log"; fail "scripts/package"; }
deb="$out/daviz_${version}_$(dpkg --print-architecture).deb"
data="$out/daviz-data_${version}_all.deb"
for f in "$deb" "$data"; do
    [ -f "$f" ] || fail "no $f"
done

echo "lintian:"
lintian --fail-on error,warning "$deb" "$data" || fail "lintian finds errors or warnings"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = daviz ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ "$(field Homepage)" = "$homepage" ] || fail "Homepage: $(field Homepage)"
names() { printf '%s\n' "$1" | tr ',|' '\n\n' | sed 's/^ *//; s/ .*//'; }
owner() { dpkg -S "$1" | head -n 1 | sed 's/[:,].*//'; }
for pkg in libqt6widgets6 xdg-utils fonts-dejavu-core \
    "$(owner '*/qt6/plugins/platforms/libqxcb.so')" "$(owner '*/libpulse.so.0')"; do
    names "$(field Depends)" | grep -qx "$pkg" || fail "Depends does not name $pkg"
done
case "$(field Depends)" in *libqt6multimedia*) fail "Depends names Qt Multimedia" ;; esac
field Depends | grep -qF "daviz-data (= $version)" || fail "Depends does not name daviz-data (= $version)"
[ "$(dpkg-deb -f "$data" Architecture)" = all ] || fail "daviz-data is not for all architectures"
names "$(field Recommends)" | grep -qx qt6-wayland || fail "Recommends does not name qt6-wayland"

work="$(mktemp -d /tmp/daviz-deb.XXXXXX)"
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/root" && dpkg-deb -x "$data" "$work/root" || fail "dpkg-deb -x"
check_metainfo "$work/root/usr/share/metainfo/org.example.Daviz.metainfo.xml" "$homepage"
for pkg in daviz daviz-data; do
    grep -q "^License: Expat" "$work/root/usr/share/doc/$pkg/copyright" || fail "$pkg: copyright without its licence"
done

# The source tarball holds the last commit, screenshots and package lists included; it is made
# only from a git work tree.
tarball="$out/daviz-$version.tar.gz"
if git -C "$root" rev-parse --git-dir >/dev/null 2>&1; then
    tar -tzf "$tarball" >"$work/sources" || fail "no $tarball"
    for f in README.md scripts/play scripts/test scripts/packages-play.txt scripts/packages.txt \
        res/screenshot.png res/screenshot@2x.png; do
        grep -qx "daviz-$version/$f" "$work/sources" || fail "the tarball lacks $f"
    done
fi
echo "ok: $deb and $data"
