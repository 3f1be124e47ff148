#!/usr/bin/env bash
# Starts the program where no display can be opened: it must end with status 1 and one
# plain sentence on stderr, not with an abort.
set -u
program="$1"
err="$(mktemp)"
trap 'rm -f "$err"' EXIT
# The command line is not for Qt either: a platform named there must not rescue the start.
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 20 "$program" -platform offscreen \
    2>"$err" >/dev/null </dev/null
status=$?
if [ "$status" -ne 1 ]; then
    echo "expected exit status 1, got $status"; cat "$err"; exit 1
fi
lines=$(grep -c . "$err")
if [ "$lines" -ne 1 ] || ! grep -q '^Daviz cannot start because .*display\.$' "$err"; then
    echo "expected one sentence on stderr, got:"; cat "$err"; exit 1
fi
echo "ok: $(cat "$err")"
