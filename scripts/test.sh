#!/usr/bin/env bash
# Installs what is missing, checks that every include points down the layers and that the tests'
# lines stay under their ceiling against the code's, builds Sonavex and runs every test: core unit
# tests, window tests (offscreen), end-to-end tests with real audio in a private PulseAudio null
# sink (among them what a screen reader gets over a private AT-SPI bus), the windows on a virtual X
# server (without and with a window manager) driven by a real pointer, the Debian package (built
# from the Release build and checked without installing it), the core tests once more under
# AddressSanitizer and UndefinedBehaviorSanitizer, the threads under ThreadSanitizer, and a
# bounded fuzz run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"
"$root/scripts/install-deps.sh"

passed=0
# Runs ctest (behind an optional wrapper command), shows its output and adds its count of passed
# tests to the total.
run_ctest() { run_ctest_wrapped "" "$@"; }
run_ctest_wrapped() {
  local wrapper="$1" out
  shift
  out="$(mktemp)"
  if ! $wrapper ctest "$@" 2>&1 | tee "$out"; then
    rm -f "$out"
    return 1
  fi
  if grep -q "No tests were found" "$out"; then
    echo "ctest $* found no tests" >&2
    rm -f "$out"
    return 1
  fi
  local n
  n="$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$out" | tail -n 1)"
  passed=$((passed + ${n:-0}))
  rm -f "$out"
}

echo "== layers: every include points down"
python3 "$root/scripts/check-layers.py"

echo "== tests against code: the ratio of their lines stays at or below its ceiling"
python3 "$root/scripts/check-test-ratio.py"

echo "== build"
"$root/scripts/build.sh" "$root/build"

echo "== core and window tests"
export QT_QPA_PLATFORM=offscreen
run_ctest --test-dir "$root/build" -L 'core|ui' --output-on-failure -j"$jobs" --timeout 300

echo "== end-to-end tests (real audio)"
# A private sound server and a private session bus (the media controls are driven over it).
run_ctest_wrapped "$root/scripts/with-pulse.sh $root/scripts/with-dbus.sh" --test-dir "$root/build" \
  -L e2e --output-on-failure \
  --timeout 300

echo "== the windows on a real X server (Xvfb), without a window manager"
run_ctest_wrapped "$root/scripts/with-x11.sh" --test-dir "$root/build" -L x11 --output-on-failure \
  --timeout 120

echo "== the windows on a real X server (Xvfb), under the openbox window manager"
run_ctest_wrapped "$root/scripts/with-x11.sh --wm" --test-dir "$root/build" -L x11 \
  --output-on-failure --timeout 120

echo "== the player in a Release build (-O3: other warnings than RelWithDebInfo's)"
"$root/scripts/build.sh" "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  --target sonavex

# ---- the Debian package (packaging/, scripts/package.sh, scripts/check-package.sh) ----
echo "== the Debian package: made from the Release build above, validated, its program run"
"$root/scripts/package.sh" "$root/build-release"
package_log="$(mktemp)"
"$root/scripts/check-package.sh" "$root"/build-release/package/sonavex_*.deb | tee "$package_log"
passed=$((passed + $(sed -n 's/^package checks: \([0-9]*\) passed$/\1/p' "$package_log")))
rm -f "$package_log"
# ---- end of the Debian package

echo "== core tests under AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/scripts/build.sh" "$root/build-asan" -DSONAVEX_CORE_ONLY=ON -DSONAVEX_SANITIZE=ON
run_ctest --test-dir "$root/build-asan" -L core --output-on-failure -j"$jobs" --timeout 600

echo "== threads under ThreadSanitizer: the core tests, long scans end to end, the program itself"
"$root/scripts/build.sh" "$root/build-tsan" -DSONAVEX_THREAD_SANITIZER=ON
# A report fails the test (the program exits with 66); the suppressions cover only the libraries
# that are not built with it (see the file).
export TSAN_OPTIONS="suppressions=$root/tests/tsan.supp halt_on_error=1 exitcode=66 die_after_fork=0"
run_ctest --test-dir "$root/build-tsan" -L core --output-on-failure -j"$jobs" --timeout 600
run_ctest_wrapped "$root/scripts/with-pulse.sh $root/scripts/with-dbus.sh" --test-dir "$root/build-tsan" \
  -R 'LiveList|NamedPipe|ui.tst_program' --output-on-failure --timeout 600
unset TSAN_OPTIONS

echo "== fuzzing (bounded)"
"$root/scripts/build.sh" "$root/build-fuzz" -DSONAVEX_CORE_ONLY=ON -DSONAVEX_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++
"$root/scripts/fuzz.sh" "$root/build-fuzz" 60

echo "$passed passed, 0 failed"
