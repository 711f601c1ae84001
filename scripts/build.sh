#!/usr/bin/env bash
# Configures and builds Sonavex into build/ (or the folder given as $1). Further arguments go to
# cmake's configure step, except "--target NAME", which builds only that target.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
shift || true
target=()
configure=()
while [ $# -gt 0 ]; do
  if [ "$1" = "--target" ] && [ $# -ge 2 ]; then
    target=(--target "$2")
    shift 2
  else
    configure+=("$1")
    shift
  fi
done
log="$(mktemp)"
if ! cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${configure[@]}" >"$log" 2>&1; then
  cat "$log"
  rm -f "$log"
  exit 1
fi
rm -f "$log"
cmake --build "$build" -j"$(nproc)" "${target[@]}"
