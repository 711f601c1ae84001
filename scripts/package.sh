#!/usr/bin/env bash
# Builds the Debian package of Sonavex: installs what is missing, makes a Release build of the
# player without the tests in build-release/ (or the folder given as $1; the test command's Release
# build is the same one, so it is reused), then CPack's .deb into its package/ folder. The last
# line printed is the package's path. Install it with apt, which fetches what it depends on:
#   sudo apt-get install "$(scripts/package.sh | tail -n 1)"
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-release}"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
rm -rf "$build/package"
log="$(mktemp)"
if ! (cd "$build" && cpack -B "$build/package") >"$log" 2>&1; then
  cat "$log"
  rm -f "$log"
  exit 1
fi
rm -f "$log"
shopt -s nullglob
debs=("$build"/package/*.deb)
if [ ${#debs[@]} -ne 1 ]; then
  echo "cpack made ${#debs[@]} packages in $build/package, not one" >&2
  exit 1
fi
echo "${debs[0]}"
