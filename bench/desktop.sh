#!/usr/bin/env bash
# What living on the desktop costs: a second start handing its paths to the running player (until
# it ends, and until the paths are in the running player's list), for two files and for a folder of
# 20,000; one MPRIS property read over the session bus; idle memory and CPU with the media
# controls on the bus and without a bus.
# Usage: bench/desktop.sh [build-folder]   (default: build-release)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/bench/common.sh"
build="$(bench_build "${1:-}")"
bench_inside "$0" "$build" with-x11.sh with-dbus.sh

work="$(mktemp -d /tmp/sonavex-desktop.XXXXXX)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
cp "$build/sonavex" "$work/sonavex"
export XDG_RUNTIME_DIR="$work/run"
# The session folder must be the user's alone, or the player plays alone and hands nothing over.
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$work/big"
(cd "$work/big" && seq -f "%05g.mp3" 20000 | xargs touch)

ms() { echo "scale=2; $1 / 1000000" | bc; }

SONAVEX_PROBE_HANDOVER=1 "$work/sonavex" 2>"$work/first.err" >/dev/null &
first=$!
pids+=("$first")
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/sonavex.socket" ] && break; sleep 0.05; done
sleep 1

# Each hand-over: wall time of the second process, and from its start to the paths in the list.
handover() {
  local runs="$1" shown_before total=() shown=()
  shift
  for i in $(seq "$runs"); do
    shown_before="$(grep -c handover_shown_ns "$work/first.err" || true)"
    local t0 t1 start
    t0="$(date +%s%N)"
    SONAVEX_PROBE_HANDOVER=1 "$work/sonavex" "$@" 2>"$work/second.err" >/dev/null
    t1="$(date +%s%N)"
    total+=("$(ms $((t1 - t0)))")
    start="$(sed -n 's/^handover_start_ns=//p' "$work/second.err")"
    for _ in $(seq 400); do
      [ "$(grep -c handover_shown_ns "$work/first.err")" -gt "$shown_before" ] && break
      sleep 0.01
    done
    local at
    at="$(grep handover_shown_ns "$work/first.err" | tail -n 1 | sed 's/^handover_shown_ns=//')"
    shown+=("$(ms $((at - start)))")
    sleep 0.3
  done
  echo "$(printf '%s\n' "${total[@]}" | median) $(printf '%s\n' "${shown[@]}" | median)"
}

read -r files_total files_shown < <(handover 11 "$work/a.mp3" "$work/b.mp3")
read -r folder_total folder_shown < <(handover 3 "$work/big")

# An MPRIS property read, as dbus-send makes it (the process start included: an upper bound).
reads=50
t0="$(date +%s%N)"
for _ in $(seq "$reads"); do
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.sonavex /org/mpris/MediaPlayer2 \
    org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player \
    string:PlaybackStatus >/dev/null
done
t1="$(date +%s%N)"
read_ms="$(echo "scale=3; $((t1 - t0)) / $reads / 1000000" | bc)"
t0="$(date +%s%N)"
for _ in $(seq "$reads"); do
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.GetId >/dev/null
done
t1="$(date +%s%N)"
bus_ms="$(echo "scale=3; $((t1 - t0)) / $reads / 1000000" | bc)"

# Idle, 10 s: two fresh players side by side, one with its media controls on the bus, one without
# a bus.
"$work/sonavex" --new-instance >/dev/null 2>&1 &
onbus=$!
DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" "$work/sonavex" --new-instance >/dev/null 2>&1 &
alone=$!
pids+=("$onbus" "$alone")
sleep 3
c0="$(cpu_ticks "$onbus")"
a0="$(cpu_ticks "$alone")"
sleep 10
c1="$(cpu_ticks "$onbus")"
a1="$(cpu_ticks "$alone")"
rss_bus="$(rss_kb "$onbus")"
rss_alone="$(rss_kb "$alone")"

echo "== summary ($build, Xvfb, private session bus)"
printf '%-48s %8s ms  < 80 ms\n' "second start handing 2 files, to its exit" "$files_total"
printf '%-48s %8s ms  < 100 ms\n' "  ... until they are in the running list" "$files_shown"
printf '%-48s %8s ms  < 80 ms\n' "second start handing a 20,000-file folder" "$folder_total"
printf '%-48s %8s ms\n' "  ... until the scan put them in the list" "$folder_shown"
printf '%-48s %8s ms  (a bare bus call: %s ms)\n' "MPRIS property read by dbus-send" "$read_ms" "$bus_ms"
printf '%-48s %8s MB  (without a bus: %s MB)\n' "idle RSS with the media controls" \
  "$(echo "scale=1; $rss_bus / 1024" | bc)" "$(echo "scale=1; $rss_alone / 1024" | bc)"
printf '%-48s %8s ticks in 10 s (without a bus: %s)\n' "idle CPU with the media controls" \
  "$((c1 - c0))" "$((a1 - a0))"
