#!/usr/bin/env bash
# What playing costs, on a private Xvfb and PulseAudio null sink. For a 30 s MP3 (128 kbit/s CBR),
# Ogg Vorbis and FLAC, each in a fresh player started with its play button: resident memory idle
# (3 s after the window shows), after 10 s of play and just before the end (28 s); private dirty
# memory at 10 s and the mappings that hold most of it; the GStreamer elements the player creates
# (logged in a warm-up run) and the plugins it maps; the share of
# one core over the last 20 s of play and over 10 s paused (pause button); resident memory 5 s after
# the stop button, against idle; the context switches a second of all its threads while playing.
# Then the silence between tracks of each format (below). Ends with a summary against the targets.
# Then the share of one core playing FLAC with the equalizer off, on and flat, and on with a preset's
# curve (SONAVEX_BENCH_EQUALIZER="off flat rock", "" none). Then play to sound and to tags through
# the media controls. (The holes under load, and how soon
# volume and balance are heard: build/bench/bench_listening.)
# Usage: bench/playback.sh [build-folder]  (default build-release, made by
#   scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF --target sonavex)
# SONAVEX_BENCH_KEEP=1 keeps its work folder (the players, their logs, the recording);
# SONAVEX_BENCH_FORMATS="mp3" measures fewer formats (default "mp3 ogg flac"; "" none), and
# SONAVEX_BENCH_GAP_FORMATS the silence between tracks of fewer (default "wav flac mp3 ogg").
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/bench/common.sh"
build="$(bench_build "${1:-}")"
bench_inside "$0" "$build" with-pulse.sh with-x11.sh with-dbus.sh
sink="$SONAVEX_PULSE_SINK"

work="$(mktemp -d /tmp/sonavex-playback.XXXXXX)"
pid=""
recorder=""
holder=""
cleanup() {
  local p
  for p in $pid $recorder $holder; do
    kill "$p" 2>/dev/null && wait "$p" 2>/dev/null || true  # a process ended by a signal
  done
  [ -n "${SONAVEX_BENCH_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
# The players' sound settings are the benchmark's, not the user's.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/sonavex"
# Xvfb resets when its last client leaves, and refuses connections while it does: one client held
# for the whole run, so that a player started right after another one ended can connect.
xprop -root -spy >/dev/null 2>&1 &
holder=$!

# Whether VALUE is below TARGET.
now() { date +%s.%N; }
# Sleeps until SECONDS after the moment START.
sleep_until() { sleep "$(awk -v s="$1" -v d="$2" -v n="$(now)" 'BEGIN {w = s + d - n; print (w > 0 ? w : 0)}')"; }

dirty_kb() { awk '/^Private_Dirty:/ {print $2}' "/proc/$1/smaps_rollup"; }
# A count of each thread of the process so far, as "tid:n,tid:n,...", and the moment; `count`
# prints it for a thread's /proc folder.
thread_marks() {
  local t marks=""
  for t in /proc/"$1"/task/*; do
    marks="$marks${t##*/}:$("$2" "$t"),"
  done
  echo "$marks $(now)"
}
# Its CPU time in nanoseconds, from schedstat, since the tick counts of /proc/PID/stat are 10 ms
# coarse (a tenth of the paused target over 10 s); its context switches.
cpu_of() { cut -d' ' -f1 "$1/schedstat" 2>/dev/null || echo 0; }
switches_of() { awk '/^(non)?voluntary_ctxt_switches:/ {n += $2} END {print n + 0}' "$1/status" 2>/dev/null; }
cpu_mark() { thread_marks "$1" cpu_of; }
switches_mark() { thread_marks "$1" switches_of; }
# What each thread running at the second mark counted since the first (all of it, if it started
# in between), a second, divided by `unit`. A thread that ended in between takes its count with
# it; over these windows the streams' threads all live on. (A sum over the threads alive at each
# mark would drop an ended thread's count from the difference.)
per_second_between() {
  awk -v a="$1" -v b="$2" -v unit="$3" 'BEGIN {
    split(a, ma, " "); split(b, mb, " ")
    n = split(ma[1], before, ","); for (i = 1; i <= n; i++) if (split(before[i], p, ":") == 2) c0[p[1]] = p[2]
    n = split(mb[1], after, ","); for (i = 1; i <= n; i++) if (split(after[i], p, ":") == 2) done += p[2] - c0[p[1]]
    printf "%.3f", done / unit / (mb[2] - ma[2])
  }'
}
# The share of one core, in percent; context switches a second.
cpu_between() { per_second_between "$1" "$2" 1e7; }
switches_between() { printf "%.0f" "$(per_second_between "$1" "$2" 1)"; }

# The distinct GStreamer plugins the process has mapped, by name.
plugins() {
  awk '$6 ~ /\/gstreamer-1\.0\// {n = split($6, p, "/"); print p[n]}' "/proc/$1/maps" |
    sed 's/^libgst//; s/\.so$//' | sort -u | tr '\n' ' '
}
# The mappings holding the most private dirty memory, summed by file ([anon] for the nameless).
dirty_mappings() {
  awk '/^[0-9a-f]+-[0-9a-f]+ / {name = NF >= 6 ? $6 : "[anon]"; sub(/.*\//, "", name); next}
       /^Rss:/ {rss[name] += $2}
       /^Private_Dirty:/ {dirty[name] += $2}
       END {for (n in dirty) if (dirty[n] >= 100) printf "%8d %8d  %s\n", dirty[n], rss[n], n}' \
    "/proc/$1/smaps" | sort -rn | head -n "${2:-12}"
}

# The window of the process named NAME, once shown (waits up to 10 s).
window_of() {
  local id
  for _ in $(seq 100); do
    id="$(xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null | head -n 1 || true)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "the $2 window did not show" >&2
  return 1
}
inputs() { pactl list sink-inputs 2>/dev/null; }
playing() { inputs | grep -q 'Corked: no'; }
# Waits up to 5 s for CONDITION (a command) to hold.
await() {
  for _ in $(seq 50); do "$@" && return 0; sleep 0.1; done
  return 1
}
corked() { inputs | grep -q 'Corked: yes'; }
no_input() { [ -z "$(pactl list short sink-inputs 2>/dev/null)" ]; }
# The player's buttons, at the middle of their places on the player window.
press() {
  case "$2" in
    play) xdotool mousemove --window "$1" 59 138 click 1 ;;
    stop) xdotool mousemove --window "$1" 92 138 click 1 ;;
    pause) xdotool mousemove --window "$1" 125 138 click 1 ;;
  esac
}
# A fresh player in a folder of its own, whose last playlist holds the given files; sets pid and
# log.
start_player() {
  local dir="$work/player$RANDOM"
  mkdir "$dir"
  cp "$build/sonavex" "$dir/sonavex"
  printf '%s\r\n' "$@" >"$dir/lastplaylist.txt"
  "$dir/sonavex" >"$dir/log" 2>&1 &
  pid=$!
  log="$dir/log"
}
end_player() {
  kill -TERM "$pid"
  wait "$pid" 2>/dev/null || true
  pid=""
}
fail() {
  echo "$1" >&2
  [ -n "${log:-}" ] && cat "$log" >&2
  exit 1
}

# Test audio: a sine at half of full scale, 44.1 kHz stereo.
make_tone() {  # FILE SECONDS HZ ENCODER...
  local file="$1" length="$2" hz="$3"
  shift 3
  gst-launch-1.0 -q audiotestsrc volume=0.5 wave=sine freq="$hz" samplesperbuffer=441 \
    num-buffers="$((length * 100))" ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! "$@" \
    ! filesink location="$file"
}
make_tone "$work/tone.mp3" 30 440 lamemp3enc target=bitrate bitrate=128 cbr=true
make_tone "$work/tone.ogg" 30 440 vorbisenc ! oggmux
make_tone "$work/tone.flac" 30 440 flacenc

# A warm-up run, so that the GStreamer registry is built before anything is measured. It plays
# each format for 2 s with GStreamer's element log on, to list the elements the player creates
# (only here: logging costs time and memory of its own).
for format in ${SONAVEX_BENCH_FORMATS-mp3 ogg flac}; do
  GST_DEBUG=GST_ELEMENT_FACTORY:4 GST_DEBUG_NO_COLOR=1 GST_DEBUG_FILE="$work/elements.$format" \
    start_player "$work/tone.$format"
  window="$(window_of "$pid" Sonavex)" || fail "the player did not show"
  sleep 1
  press "$window" play
  await playing || fail "the $format track did not start playing"
  sleep 2
  end_player
  echo "elements created for $format: $(sed -n 's/.*creating element "\([^"]*\)".*/\1/p' \
    "$work/elements.$format" | sort -u | tr '\n' ' ')"
done

declare -A idle play10 play28 dirty10 cpu_play cpu_pause switches_play stopped loaded
formats="${SONAVEX_BENCH_FORMATS-mp3 ogg flac}"
for format in $formats; do
  echo "== $format: 30 s, idle 3 s, play to 28 s, pause 10 s, stop 5 s"
  start_player "$work/tone.$format"
  window="$(window_of "$pid" Sonavex)" || fail "the player did not show"
  sleep 3
  idle[$format]="$(rss_kb "$pid")"
  press "$window" play
  await playing || fail "the $format track did not start playing"
  t0="$(now)"
  sleep_until "$t0" 8
  mark0="$(cpu_mark "$pid")"
  switches0="$(switches_mark "$pid")"
  sleep_until "$t0" 10
  play10[$format]="$(rss_kb "$pid")"
  dirty10[$format]="$(dirty_kb "$pid")"
  loaded[$format]="$(plugins "$pid")"
  echo "plugins mapped at 10 s: ${loaded[$format]}"
  echo "private dirty kB, resident kB, mapping (at 10 s, the largest):"
  dirty_mappings "$pid"
  sleep_until "$t0" 28
  mark1="$(cpu_mark "$pid")"
  switches_play[$format]="$(switches_between "$switches0" "$(switches_mark "$pid")")"
  play28[$format]="$(rss_kb "$pid")"
  playing || fail "the $format track stopped playing before 28 s"
  cpu_play[$format]="$(cpu_between "$mark0" "$mark1")"

  press "$window" pause
  await corked || fail "the pause button did not pause the $format track"
  sleep 1
  mark0="$(cpu_mark "$pid")"
  sleep 10
  mark1="$(cpu_mark "$pid")"
  cpu_pause[$format]="$(cpu_between "$mark0" "$mark1")"
  corked || fail "the $format track did not stay paused"

  press "$window" stop
  await no_input || fail "the stop button did not stop the $format track"
  sleep 5
  stopped[$format]="$(rss_kb "$pid")"
  end_player
done

declare -A cpu_eq
eq_cases="${SONAVEX_BENCH_EQUALIZER-off flat rock}"
for case in $eq_cases; do
  echo "== the equalizer $case: FLAC, CPU playing 8-28 s"
  case "$case" in
    off) echo "equalizer off" ;;
    flat) echo "equalizer on" ;;
    rock) printf 'equalizer on\nbands 4 3 -2.5 -3.5 -1.5 2 4 5.5 5.5 5.5\n' ;;
  esac >"$XDG_CONFIG_HOME/sonavex/sound.conf"
  start_player "$work/tone.flac"
  window="$(window_of "$pid" Sonavex)" || fail "the player did not show"
  sleep 3
  press "$window" play
  await playing || fail "the track did not start playing with the equalizer $case"
  t0="$(now)"
  sleep_until "$t0" 8
  mark0="$(cpu_mark "$pid")"
  sleep_until "$t0" 28
  cpu_eq[$case]="$(cpu_between "$mark0" "$(cpu_mark "$pid")")"
  end_player
done
rm -f "$XDG_CONFIG_HOME/sonavex/sound.conf"

# The silence between tracks, per format: one continuous 441 Hz sine cut sample-exact into three
# 2 s files (MP3 by the lame encoder, with its LAME header), played through with the loop box off
# and recorded at the sink's monitor. Between the first loud sample and the last, the longest run
# of samples under 100 (of 32768): a sine at half of full scale never stays that low for even one
# sample, so every such run is a hole in the sound.
gap_formats="${SONAVEX_BENCH_GAP_FORMATS:-wav flac mp3 ogg}"
python3 - "$work" <<'PYTHON'
import math, struct, sys, wave
work = sys.argv[1]
first = 0
for part in range(3):
    with wave.open(f"{work}/gap{part}.wav", "wb") as out:
        out.setnchannels(2); out.setsampwidth(2); out.setframerate(44100)
        frames = bytearray()
        for n in range(first, first + 88200):
            s = round(16384 * math.sin(2 * math.pi * 441 * n / 44100))
            frames += struct.pack("<hh", s, s)
        out.writeframes(bytes(frames))
    first += 88200
PYTHON
declare -A gap_ms
for format in $gap_formats; do
  echo "== the silence between tracks: $format"
  files=()
  for part in 0 1 2; do
    case "$format" in
      wav) ;;
      mp3) lame --quiet "$work/gap$part.wav" "$work/gap$part.mp3" ;;
      flac) gst-launch-1.0 -q filesrc location="$work/gap$part.wav" ! wavparse ! flacenc \
              ! filesink location="$work/gap$part.flac" ;;
      ogg) gst-launch-1.0 -q filesrc location="$work/gap$part.wav" ! wavparse ! audioconvert \
             ! vorbisenc ! oggmux ! filesink location="$work/gap$part.ogg" ;;
    esac
    files+=("$work/gap$part.$format")
  done
  start_player "${files[@]}"
  window="$(window_of "$pid" Sonavex)" || fail "the player did not show"
  playlist="$(window_of "$pid" Playlist)" || fail "the playlist did not show"
  sleep 2
  xdotool mousemove --window "$playlist" 126 6 click 1  # the loop box
  parec --device="$sink.monitor" --format=s16le --rate=44100 --channels=2 --latency-msec=20 \
    >"$work/sink.raw" &
  recorder=$!
  sleep 1
  press "$window" play
  # 6 s of sound, and time for the start; with the loop off nothing plays after the third file.
  sleep 10
  kill "$recorder"
  wait "$recorder" 2>/dev/null || true
  recorder=""
  end_player
  gap_ms[$format]="$(python3 - "$work/sink.raw" <<'PYTHON'
import array, sys
left = array.array("h", open(sys.argv[1], "rb").read())[::2]
loud = [i for i, s in enumerate(left) if abs(s) > 8000]
longest = run = 0
for s in left[loud[0]:loud[-1]] if loud else []:
    run = run + 1 if abs(s) < 100 else 0
    longest = max(longest, run)
print(f"{1000 * longest / 44100:.1f}")
PYTHON
)"
  echo "longest silence between the $format tracks: ${gap_ms[$format]} ms"
done

# Play to sound and to tags, as the desktop asks for a track: from `playerctl open` to the first
# loud moment at the sink's monitor, and to its title on the bus (two files, opened in turn, so the
# title changes each time); 0.3 s after a stop (n = 15) and 4 s after it, once the engine has let
# its pipeline go (n = 8).
gst-launch-1.0 -q audiotestsrc volume=0.5 freq=440 samplesperbuffer=441 num-buffers=300 \
  ! audio/x-raw,rate=44100,channels=2 ! wavenc ! filesink location="$work/tagged.wav"
lame --quiet --tt "Tagged A" "$work/tagged.wav" "$work/taggedA.mp3"
lame --quiet --tt "Tagged B" "$work/tagged.wav" "$work/taggedB.mp3"
start_player "$work/taggedA.mp3"
window_of "$pid" Sonavex >/dev/null || fail "the player did not show"
await playerctl -p sonavex status >/dev/null 2>&1 || fail "the player is not on the bus"
sleep 2
first_sound="$(python3 - "$sink" "$work" <<'PYTHON'
import array, math, subprocess, sys, threading, time
sink, work = sys.argv[1], sys.argv[2]
rec = subprocess.Popen(["parec", f"--device={sink}.monitor", "--format=s16le", "--rate=44100",
                        "--channels=1", "--latency-msec=5"], stdout=subprocess.PIPE)
loud_at = [None]
heard_any = threading.Event()  # the recorder delivers: a first play is not timed by its start-up
def listen():
    while True:
        chunk = rec.stdout.read(441 * 2)
        if not chunk:
            return
        heard_any.set()
        a = array.array("h", chunk)
        if loud_at[0] is None and math.sqrt(sum(x * x for x in a) / len(a)) > 1600:
            loud_at[0] = time.monotonic()
threading.Thread(target=listen, daemon=True).start()
heard_any.wait(10)
def ctl(*args):
    return subprocess.run(["playerctl", "-p", "sonavex", *args], capture_output=True, text=True).stdout.strip()
for idle, runs in ((0.3, 15), (4.0, 8)):
    sound, tags = [], []
    for run in range(runs):
        ctl("stop")
        time.sleep(idle)
        title = "Tagged " + "AB"[run % 2]
        loud_at[0] = None
        t0 = time.monotonic()
        ctl("open", f"file://{work}/tagged{title[-1]}.mp3")
        tagged = None
        while time.monotonic() - t0 < 3 and (tagged is None or loud_at[0] is None):
            if tagged is None and ctl("metadata", "xesam:title") == title:
                tagged = time.monotonic()
        if loud_at[0] is not None: sound.append(loud_at[0] - t0)
        if tagged is not None: tags.append(tagged - t0)
    for what, v in (("sound", sound), ("tags", tags)):
        v.sort()
        print(f"{idle} {what} {v[0]:.3f} {v[len(v) // 2]:.3f} {v[-1]:.3f}" if v else f"{idle} {what} - - -")
rec.kill()
PYTHON
)"
end_player
echo "$first_sound" | awk '{printf "play to %s, %s s after a stop: min %s, median %s, max %s s\n", $2, $1, $3, $4, $5}'

echo "== summary ($build, Xvfb, PulseAudio null sink)"
# row LABEL VALUE UNIT [TARGET]
row() {
  local mark=""
  [ -n "${4:-}" ] && mark="$(printf '< %s %s' "$4" "$3")  $(verdict "$2" "$4")"
  printf '%-40s %9s %-3s %s\n' "$1" "$2" "$3" "$mark"
}
for format in $formats; do
  highest="$((play10[$format] > play28[$format] ? play10[$format] : play28[$format]))"
  target=""
  [ "$format" = mp3 ] && target=45
  diff_kb="$((stopped[$format] - idle[$format]))"
  row "$format: RSS idle" "$(mb "${idle[$format]}")" MB 30
  row "$format: RSS playing, 10 s" "$(mb "${play10[$format]}")" MB
  row "$format: RSS playing, 28 s" "$(mb "${play28[$format]}")" MB
  row "$format: RSS playing, the higher" "$(mb "$highest")" MB "$target"
  row "$format: private dirty playing, 10 s" "$(mb "${dirty10[$format]}")" MB
  row "$format: RSS 5 s after stop" "$(mb "${stopped[$format]}")" MB
  printf '%-40s %9s %-3s < 3 MB either way  %s\n' "$format: RSS after stop - idle" \
    "$(awk -v k="$diff_kb" 'BEGIN {printf "%+.1f", k / 1024}')" MB "$(verdict "${diff_kb#-}" 3072)"
  row "$format: CPU playing (8-28 s), one core" "${cpu_play[$format]}" % 0.8
  row "$format: context switches playing (8-28 s)" "${switches_play[$format]}" /s
  row "$format: CPU paused (10 s), one core" "${cpu_pause[$format]}" % 0.1
done
for case in $eq_cases; do
  row "flac: CPU playing, equalizer $case" "${cpu_eq[$case]}" %
done
for format in $gap_formats; do
  case "$format" in wav | flac) target=0.1 ;; *) target=5 ;; esac  # 0 ms, and under 5 ms
  row "$format: silence between tracks, the longest" "${gap_ms[$format]}" ms "$target"
done
