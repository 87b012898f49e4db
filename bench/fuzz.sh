#!/usr/bin/env bash
# A long run of the settings loader fuzzer: ./bench/fuzz.sh [executions], default one
# million. Prints the executions made and the corpus kept; a failing input is written
# to build-fuzz/ and ends the run with an error.
set -euo pipefail
cd "$(dirname "$0")/.."
source ./setup.sh
kelvanor_install_missing
CC=clang-14 CXX=clang++-14 kelvanor_build build-fuzz -S tests/fuzz
runs="${1:-1000000}"
corpus="$PWD/build-fuzz/corpus"
mkdir -p "$corpus"
log="$PWD/build-fuzz/long-run.log"
start=$SECONDS
build-fuzz/setting_loader_fuzzer -runs="$runs" -timeout=10 -artifact_prefix="$PWD/build-fuzz/" \
  -dict="$PWD/tests/fuzz/setting.dict" "$corpus" "$PWD/tests/fuzz/seeds" "$PWD/tests/fuzz/regressions" \
  >"$log" 2>&1 || { tail -40 "$log"; exit 1; }
done_line=$(grep -E '^Done [0-9]+ runs' "$log" | tail -1)
echo "| figure | value |"
echo "|---|---|"
echo "| executions | $(echo "$done_line" | awk '{print $2}') |"
echo "| time | $((SECONDS - start)) s |"
echo "| corpus inputs kept | $(ls "$corpus" | wc -l) |"
echo "| coverage (last status line) | $(grep -E '^#[0-9]+' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+') |"
