#!/usr/bin/env bash
# Install what is missing, build, and run every test through ctest, offscreen and
# without a sound card.
#   ./test.sh             normal build in build/
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
#   ./test.sh --tsan      ThreadSanitizer build in build-tsan/
#   ./test.sh --fuzz      the settings loader under libFuzzer (clang) in build-fuzz/
set -euo pipefail
cd "$(dirname "$0")"
source ./setup.sh
kelvanor_install_missing

dir=build
options=()
case "${1:-}" in
  --sanitize) dir=build-asan; options=(-DKELVANOR_SANITIZE=ON) ;;
  --tsan) dir=build-tsan; options=(-DKELVANOR_TSAN=ON) ;;
  --fuzz)
    # A project of its own: only what the loader needs, compiled by clang.
    export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
    CC=clang-14 CXX=clang++-14 kelvanor_build build-fuzz -S tests/fuzz
    exec ctest --test-dir build-fuzz --output-on-failure --timeout 300 ;;
  "") ;;
  *) echo "unknown option: $1" >&2; exit 2 ;;
esac

export QT_QPA_PLATFORM=offscreen
export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan_third_party.supp"
kelvanor_build "$dir" "${options[@]}"
ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 300
