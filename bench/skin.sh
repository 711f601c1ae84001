#!/usr/bin/env bash
# What the skinned windows cost, on a private Xvfb and PulseAudio null sink: the time from main()
# to the iris's first step; how long the iris, the playlist's slide and the panel's wipe take
# (medians of 10 runs each, after a warm-up run that builds the GStreamer registry); the share of
# one core used over 30 s with the player shown and idle, and while a track plays; the idle
# resident memory. Ends with a summary against the targets.
# Usage: bench/skin.sh [build-folder]  (default build-release, made by
#   scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF --target sonavex)
# SONAVEX_BENCH_SECONDS changes the 30 s of each CPU measurement.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/bench/common.sh"
build="$(bench_build "${1:-}")"
bench_inside "$0" "$build" with-pulse.sh with-x11.sh
seconds="${SONAVEX_BENCH_SECONDS:-30}"

work="$(mktemp -d /tmp/sonavex-skin.XXXXXX)"
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# A copy of the program: the playlist it keeps beside its executable is then a fresh one here.
cp "$build/sonavex" "$work/sonavex"
exe="$work/sonavex"

# The value of NAME= in the probe lines on standard input, one per line.
field() { sed -n "s/.*\<$1=\([-0-9.]*\).*/\1/p"; }

# The share of one core the process uses over $seconds, in percent.
cpu_percent() {
  local t0 t1 s0 s1
  t0="$(cpu_ticks "$1")"
  s0="$(date +%s.%N)"
  sleep "$seconds"
  t1="$(cpu_ticks "$1")"
  s1="$(date +%s.%N)"
  awk -v a="$t0" -v b="$t1" -v s="$s0" -v e="$s1" -v hz="$(getconf CLK_TCK)" \
    'BEGIN {printf "%.3f", (b - a) / hz / (e - s) * 100}'
}
# The player window of the process, once shown (waits up to 10 s).
player_window() {
  local id
  for _ in $(seq 100); do
    id="$(xdotool search --onlyvisible --pid "$1" --name '^Sonavex$' 2>/dev/null | head -n 1 || true)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "the player window did not show" >&2
  return 1
}
playing() { [ -n "$(pactl list short sink-inputs 2>/dev/null)" ]; }

echo "== start-up and animations (10 runs each)"
SONAVEX_STARTUP_PROBE=1 "$exe" >/dev/null 2>&1 || true
for _ in $(seq 10); do SONAVEX_STARTUP_PROBE=1 "$exe" 2>/dev/null; done >"$work/probe1"
for _ in $(seq 10); do SONAVEX_STARTUP_PROBE=2 "$exe" 2>/dev/null; done >"$work/probe2"
for name in startup_ms iris_first_ms; do
  echo "$name runs: $(field "$name" <"$work/probe1" | tr '\n' ' ')"
done
for name in iris_ms slide_ms hide_ms; do
  echo "$name runs: $(field "$name" <"$work/probe2" | tr '\n' ' ')"
done
shown="$(field startup_ms <"$work/probe1" | median)"
first="$(field iris_first_ms <"$work/probe1" | median)"
iris="$(field iris_ms <"$work/probe2" | median)"
slide="$(field slide_ms <"$work/probe2" | median)"
hide="$(field hide_ms <"$work/probe2" | median)"

echo "== idle: the player shown, nothing playing (${seconds} s)"
"$exe" >"$work/idle.log" 2>&1 &
pid=$!
player_window "$pid" >/dev/null
sleep 3
idle_cpu="$(cpu_percent "$pid")"
idle_rss="$(rss_kb "$pid")"
kill -TERM "$pid"
wait "$pid" 2>/dev/null || true
pid=""

echo "== playing a 60 s MP3 (${seconds} s)"
gst-launch-1.0 -q audiotestsrc num-buffers=2584 samplesperbuffer=1024 wave=sine freq=440 \
  ! audio/x-raw,rate=44100,channels=2 ! lamemp3enc target=bitrate bitrate=128 cbr=true \
  ! filesink location="$work/tone.mp3"
"$exe" "$work/tone.mp3" >"$work/play.log" 2>&1 &
pid=$!
window="$(player_window "$pid")"
sleep 2
# The play button, at the middle of its place on the player window.
xdotool mousemove --window "$window" 59 138 click 1
for _ in $(seq 100); do playing && break; sleep 0.1; done
if ! playing; then
  echo "the track did not start playing" >&2
  cat "$work/play.log" >&2
  exit 1
fi
sleep 2
play_cpu="$(cpu_percent "$pid")"
play_rss="$(rss_kb "$pid")"
if ! playing; then
  echo "the track stopped playing during the measurement" >&2
  exit 1
fi
kill -TERM "$pid"
wait "$pid" 2>/dev/null || true
pid=""

echo "== summary ($build, Xvfb, PulseAudio null sink)"
# row LABEL VALUE UNIT [TARGET]
row() {
  local mark=""
  [ -n "${4:-}" ] && mark="$(printf '< %s %s' "$4" "$3")  $(verdict "$2" "$4")"
  printf '%-34s %9s %-3s %s\n' "$1" "$2" "$3" "$mark"
}
row "start-up to the iris's first step" "$first" ms 150
row "start-up to the player shown" "$shown" ms
row "iris" "$iris" ms 300
row "playlist slide" "$slide" ms 300
row "playlist hide (wipe)" "$hide" ms 300
row "CPU idle, share of one core" "$idle_cpu" % 0.3
row "CPU playing, share of one core" "$play_cpu" % 1
row "RSS idle" "$(mb "$idle_rss")" MB 40
row "RSS playing" "$(mb "$play_rss")" MB
