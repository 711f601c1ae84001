#!/usr/bin/env bash
# Start-up time to the player window shown (median of 10 runs, after a warm-up run that builds the
# GStreamer registry) and the idle resident memory 2 s after start, under a virtual X display.
# Usage: bench/startup.sh [build-folder]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
exe="$build/sonavex"
if [ ! -x "$exe" ]; then
  echo "no $exe: build first (scripts/build.sh $build)" >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${SONAVEX_IN_XVFB:-}" ]; then
  exec env SONAVEX_IN_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build"
fi
unset QT_QPA_PLATFORM
# A session folder of its own: a player the user runs would otherwise take these starts' paths.
XDG_RUNTIME_DIR="$(mktemp -d)"
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

SONAVEX_STARTUP_PROBE=1 "$exe" >/dev/null 2>&1 || true  # warm-up: GStreamer registry, caches

times=()
for _ in $(seq 10); do
  line="$(SONAVEX_STARTUP_PROBE=1 "$exe" 2>/dev/null | grep '^startup_ms=')"
  times+=("$(sed 's/^startup_ms=\([0-9.]*\).*/\1/' <<<"$line")")
done
median="$(printf '%s\n' "${times[@]}" | sort -g | awk '{v[NR]=$1} END {print (v[int((NR+1)/2)] + v[int(NR/2)+1]) / 2}')"
echo "startup runs (ms): ${times[*]}"
echo "startup median: ${median} ms (target < 150 ms)"

"$exe" >/dev/null 2>&1 &
pid=$!
sleep 2
rss="$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo -1)"
kill -TERM "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
echo "idle RSS after 2 s: $((rss / 1024)) MB (${rss} kB, target < 40 MB)"
