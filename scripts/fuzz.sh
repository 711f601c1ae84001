#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time over its corpus in tests/fuzz/corpus/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$1"
seconds="${2:-60}"
shopt -s nullglob
found=0
for fuzzer in "$build"/tests/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  found=1
  name="$(basename "$fuzzer")"
  corpus="$root/tests/fuzz/corpus/${name#fuzz_}"
  work="$(mktemp -d)"
  seeds=()
  [ -d "$corpus" ] && seeds=("$corpus")
  echo "fuzzing $name for ${seconds}s"
  "$fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=5 -rss_limit_mb=1024 \
    -print_final_stats=1 "$work" "${seeds[@]}" 2>&1 | tail -n 12
  rm -rf "$work"
done
[ "$found" -eq 1 ] || echo "no fuzz targets built"
