#!/usr/bin/env bash
# Warm start-up of the real program on one virtual X server: from starting it to its board on
# the screen, and its peak resident memory. The first start is cold and left out.
# Usage: bench/startup.sh [-b BUILD_DIR] [RUNS]   (default build/ and 10 warm starts)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
if [ "${1:-}" = "-b" ]; then
    build="$(cd "$2" && pwd)"
    shift 2
fi
runs="${1:-10}"
program="$build/duvurir"
probe="$build/bench/bench_startup_probe"
for file in "$program" "$probe"; do
    [ -x "$file" ] || { echo "missing $file: build with DAVIZ_BUILD_BENCH on" >&2; exit 2; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is not installed" >&2; exit 2; }

display=""
for n in $(seq 90 199); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=":$n"
        break
    fi
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 2; }
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.05
done
export DISPLAY="$display"

cd "$build/data"
times=()
cpus=()
peaks=()
for i in $(seq 0 "$runs"); do
    line="$("$probe" "$program")"
    ms="$(sed -n 's/.*startup_ms=\([0-9.]*\).*/\1/p' <<<"$line")"
    cpu="$(sed -n 's/.*cpu_ms=\([0-9.]*\).*/\1/p' <<<"$line")"
    kb="$(sed -n 's/.*hwm_kb=\([0-9]*\).*/\1/p' <<<"$line")"
    if [ "$i" = 0 ]; then
        echo "cold start: $ms ms ($cpu ms processor), peak RSS $((kb / 1024)) MB (left out)"
        continue
    fi
    echo "start $i: $ms ms ($cpu ms processor), peak RSS $((kb / 1024)) MB"
    times+=("$ms")
    cpus+=("$cpu")
    peaks+=("$kb")
done

summary() {
    sort -g | awk '{ v[NR] = $1 } END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "median %.1f, min %.1f, max %.1f", m, v[1], v[NR] }'
}
model="$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
echo "machine: $model, $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "warm start to painted board ($runs starts), ms: $(printf '%s\n' "${times[@]}" | summary)"
echo "processor time used by then, ms: $(printf '%s\n' "${cpus[@]}" | summary)"
echo "peak resident memory, MB: $(printf '%s\n' "${peaks[@]}" | awk '{ print $1 / 1024 }' | summary)"
