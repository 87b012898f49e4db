#!/usr/bin/env bash
# Builds the benchmarks in build-bench/ (optimised) and prints every table.
# Not part of the test run: figures depend on the machine.
set -euo pipefail
cd "$(dirname "$0")/.."
source ./setup.sh
kelvanor_install_missing
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
dir=build-bench
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVANOR_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$dir" --parallel "$(nproc)" >/dev/null
for b in "$dir"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue  # skips the build's own folders (moc output)
  echo
  echo "## $(basename "$b" | sed 's/^bench_//')"
  "$b"
done
