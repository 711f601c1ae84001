#!/usr/bin/env bash
# Runs a command with an accessibility bus (AT-SPI) on the session bus and X display it is given,
# as a desktop starts one for screen readers. The bus launcher is started here and stopped by its
# process id; the bus and the registry it started end with it.
set -euo pipefail
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
launcher=$!
trap 'kill "$launcher" 2>/dev/null || true' EXIT
# Asked without starting it: a call to the launcher's own name would have the bus start another.
owned() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'
}
for _ in $(seq 100); do
  owned && break
  sleep 0.1
done
if ! owned; then
  echo "the accessibility bus did not start" >&2
  exit 1
fi
"$@"
