#!/usr/bin/env bash
# Builds Sonavex into build/ (or the folder given as $1), showing ninja's progress. The folder is
# configured (quietly) only the first time, or when the configure arguments change; afterwards
# ninja alone builds what changed, and re-runs cmake itself when a CMakeLists.txt changed. Further
# arguments go to cmake's configure step, except "--target NAME", which builds only that target.
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
arguments="-DCMAKE_BUILD_TYPE=RelWithDebInfo ${configure[*]}"
if [ ! -f "$build/build.ninja" ] || [ "$(cat "$build/.configured-with" 2>/dev/null)" != "$arguments" ]; then
  echo "Configuring Sonavex in $build"
  cmake -S "$root" -B "$build" -G Ninja --log-level=WARNING -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "${configure[@]}"
  echo "$arguments" >"$build/.configured-with"
fi
echo "Building in $build: the first build takes minutes, later ones only what changed ([done/total] steps)"
cmake --build "$build" -j"$(nproc)" "${target[@]}"
