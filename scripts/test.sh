#!/usr/bin/env bash
# Installs what is missing, builds Sonavex and runs every test: core unit tests, window tests
# (offscreen), end-to-end tests with real audio in a private PulseAudio null sink, the core tests
# once more under AddressSanitizer and UndefinedBehaviorSanitizer, and a bounded fuzz run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"
"$root/scripts/install-deps.sh"

echo "== build"
"$root/scripts/build.sh" "$root/build"

echo "== core and window tests"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" -L 'core|ui' --output-on-failure -j"$jobs" --timeout 300

echo "== end-to-end tests (real audio)"
"$root/scripts/with-pulse.sh" ctest --test-dir "$root/build" -L e2e --output-on-failure --timeout 300

echo "== core tests under AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/scripts/build.sh" "$root/build-asan" -DSONAVEX_CORE_ONLY=ON -DSONAVEX_SANITIZE=ON
ctest --test-dir "$root/build-asan" -L core --output-on-failure -j"$jobs" --timeout 600

echo "== fuzzing (bounded)"
CXX=clang++ "$root/scripts/build.sh" "$root/build-fuzz" -DSONAVEX_CORE_ONLY=ON -DSONAVEX_FUZZ=ON \
  -DBUILD_TESTING=ON -DCMAKE_CXX_COMPILER=clang++
"$root/scripts/fuzz.sh" "$root/build-fuzz" 60

echo "== all tests passed"
