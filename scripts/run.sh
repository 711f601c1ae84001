#!/usr/bin/env bash
# Installs what is missing, builds Sonavex and starts the player.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
# Only the player: the tests and benchmarks are built by the test command.
"$root/scripts/build.sh" "$root/build" --target sonavex
exec "$root/build/sonavex" "$@"
