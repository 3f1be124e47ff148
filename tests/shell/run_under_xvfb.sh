#!/usr/bin/env bash
# Runs a test program on a fresh virtual X server; skipped (77) where there is none.
set -u
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "SKIP: xvfb-run is not installed"; exit 77
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" "$@"
