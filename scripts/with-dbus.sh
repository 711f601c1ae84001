#!/usr/bin/env bash
# Runs a command on a private D-Bus session bus of its own, stopped again by its process id.
set -euo pipefail
out="$(dbus-daemon --session --fork --print-address=1 --print-pid=1)"
address="$(sed -n 1p <<<"$out")"
pid="$(sed -n 2p <<<"$out")"
trap 'kill "$pid" 2>/dev/null || true' EXIT
export DBUS_SESSION_BUS_ADDRESS="$address"
"$@"
