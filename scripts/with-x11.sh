#!/usr/bin/env bash
# Runs a command on a private virtual X server (Xvfb, 1280x800, on a free display number), with
# --wm under the openbox window manager too. Both are started here and stopped by their process id.
# Usage: scripts/with-x11.sh [--wm] COMMAND...
set -euo pipefail
wm=0
if [ "${1:-}" = "--wm" ]; then
  wm=1
  shift
fi

work="$(mktemp -d /tmp/sonavex-x11.XXXXXX)"
xvfb_pid=""
wm_pid=""
cleanup() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$work/display" ]; then
  echo "Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"
unset WAYLAND_DISPLAY

if [ "$wm" -eq 1 ]; then
  HOME="$work" openbox --sm-disable >"$work/wm.log" 2>&1 &
  wm_pid=$!
  # The window manager is ready once it has announced itself on the root window.
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
  if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    echo "openbox did not start:" >&2
    cat "$work/wm.log" >&2
    exit 1
  fi
fi

"$@"
