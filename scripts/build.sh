#!/usr/bin/env bash
# Configures and builds Sonavex into build/ (or the folder given as $1), showing cmake's and ninja's
# progress. Further arguments go to cmake's configure step, except "--target NAME", which builds only
# that target.
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
echo "Configuring Sonavex in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${configure[@]}"
echo "Building in $build: the first build takes minutes, later ones only what changed ([done/total] steps)"
cmake --build "$build" -j"$(nproc)" "${target[@]}"
