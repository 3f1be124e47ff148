#!/bin/sh
# Makes the Debian package into OUT and checks its control fields. What the program only loads
# at run time must be named (the owner of the X11 platform plugin), the PulseAudio client it links
# too, and Qt Multimedia, which it no longer uses, must not be.
# Usage: deb_build.sh CPACK CPACK_CONFIG OUT VERSION HOMEPAGE
set -u
# shellcheck source=SCRIPTDIR/check_tree.sh
. "$(dirname "$0")/check_tree.sh"
cpack="$1"
config="$2"
out="$3"
version="$4"
homepage="$5"
if ! command -v dpkg-deb >/dev/null 2>&1; then
    echo "SKIP: dpkg-deb is not installed"
    exit 77
fi
rm -rf "$out"
"$cpack" --config "$config" -B "$out" >"$out.log" 2>&1 || { cat "$out.log"; fail "cpack"; }
deb="$out/daviz_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = daviz ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ "$(field Homepage)" = "$homepage" ] || fail "Homepage: $(field Homepage)"

owner() { dpkg -S "$1" | head -n 1 | sed 's/[:,].*//'; }
depends="$(field Depends)"
echo "Depends: $depends"
for pkg in libqt6widgets6 xdg-utils fonts-dejavu-core \
    "$(owner '*/qt6/plugins/platforms/libqxcb.so')" "$(owner '*/libpulse.so.0')"; do
    printf '%s\n' "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx "$pkg" ||
        fail "Depends does not name $pkg"
done
case "$depends" in *libqt6multimedia*) fail "Depends names Qt Multimedia" ;; esac
echo "ok: $deb"
