# What the benchmark scripts share; sourced, after `set -euo pipefail` and `root` are set.

# The Release build folder of the first argument (default build-release), as an absolute path;
# ends the script when it holds no player.
bench_build() {
  local folder
  folder="$(cd "${1:-$root/build-release}" 2>/dev/null && pwd || true)"
  if [ -z "$folder" ] || [ ! -x "$folder/sonavex" ]; then
    echo "no sonavex in ${1:-$root/build-release}: build it first with" >&2
    echo "  scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF --target sonavex" >&2
    exit 1
  fi
  echo "$folder"
}

# Runs the calling script once more inside the given wrappers (a private sound server, X server or
# bus), unless it already runs inside them. Usage: bench_inside SCRIPT BUILD WRAPPER...
bench_inside() {
  local script="$1" folder="$2"
  shift 2
  if [ -z "${SONAVEX_BENCH_INSIDE:-}" ]; then
    local wrappers=()
    for w in "$@"; do wrappers+=("$root/scripts/$w"); done
    exec env SONAVEX_BENCH_INSIDE=1 "${wrappers[@]}" "$script" "$folder"
  fi
  unset QT_QPA_PLATFORM
}

median() { sort -g | awk '{v[NR]=$1} END {print (v[int((NR+1)/2)] + v[int(NR/2)+1]) / 2}'; }
# Whether VALUE is below TARGET.
verdict() { awk -v v="$1" -v t="$2" 'BEGIN {print (v + 0 >= 0 && v + 0 < t + 0) ? "ok" : "OVER"}'; }
mb() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
# utime + stime of a process, in clock ticks (fields 14 and 15 of its stat, counted after the name).
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
