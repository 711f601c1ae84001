#!/usr/bin/env bash
# Runs a command with a private PulseAudio server whose default sink is a null sink.
# The command sees PULSE_SINK and SONAVEX_PULSE_SINK (sink name; capture from "$SINK.monitor").
set -euo pipefail
sink="sonavex_test_sink"
runtime="$(mktemp -d /tmp/sonavex-pulse.XXXXXX)"
export XDG_RUNTIME_DIR="$runtime"
export PULSE_RUNTIME_PATH="$runtime/pulse"
export HOME="${HOME:-$runtime}"
unset PULSE_SERVER

cleanup() {
  pulseaudio --kill >/dev/null 2>&1 || true
  rm -rf "$runtime"
}
trap cleanup EXIT

pulseaudio -D -n --exit-idle-time=-1 --system=false --disallow-exit=false \
  --load=module-native-protocol-unix \
  --load="module-null-sink sink_name=$sink rate=44100 channels=2" \
  --load=module-always-sink >/dev/null 2>&1 || \
pulseaudio -D -n --exit-idle-time=-1 \
  --load=module-native-protocol-unix \
  --load="module-null-sink sink_name=$sink rate=44100 channels=2"

for _ in $(seq 1 50); do
  if pactl info >/dev/null 2>&1; then break; fi
  sleep 0.1
done
pactl info >/dev/null
pactl set-default-sink "$sink" >/dev/null 2>&1 || true

export PULSE_SINK="$sink"
export SONAVEX_PULSE_SINK="$sink"
"$@"
