#!/usr/bin/env bash
# Builds the benchmarks in build-bench/ (optimised) and prints the machine's load, one
# table of the figures with their targets, then the other benches' own tables.
# Not part of the test run: figures depend on the machine, which is shared, so every
# figure is a median of several runs and the load is printed beside them.
# The resolver soak takes ten minutes; it runs only when KELVANOR_RESOLVER_SOAK_MINUTES
# gives its length.
set -euo pipefail
cd "$(dirname "$0")/.."
source ./setup.sh
kelvanor_install_missing
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
dir=build-bench
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVANOR_BENCH=ON -DBUILD_TESTING=OFF \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache >/dev/null
cmake --build "$dir" --parallel 2 >/dev/null
bench() { "$dir/bench/bench_$1" "${@:2}" 2> >(grep -v '^QStandardPaths:' >&2); }
load() { echo "Machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) $1"; }

load "before"
echo
echo "| figure | Kelvanor | baseline | ratio | target | met |"
echo "|---|---|---|---|---|---|"
bench probe_cycle 2000 10000
# Alarm after 3 failures, recovery tone and event log on (a tray is not on this machine).
KELVANOR_BENCH_OPTIONS=1 bench probe_cycle 10000
bench board
bench metrics
grid=$(bench grid)
grep '^| grid: ' <<<"$grid" || true
echo
load "after"

others=$(grep -v '^| grid: ' <<<"$grid" || true)
if [ -n "$others" ]; then
  printf '\n## grid\n%s\n' "$others"
fi
for b in "$dir"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue  # skips the build's own folders (moc output)
  name=$(basename "$b" | sed 's/^bench_//')
  case "$name" in probe_cycle | board | grid | resolver_soak) continue ;; esac
  printf '\n## %s\n' "$name"
  bench "$name"
done
printf '\n## resolver soak\n'
if [ -n "${KELVANOR_RESOLVER_SOAK_MINUTES:-}" ]; then
  bench resolver_soak "$KELVANOR_RESOLVER_SOAK_MINUTES"
else
  echo "Skipped: set KELVANOR_RESOLVER_SOAK_MINUTES (10 for the full soak) to run it."
fi
