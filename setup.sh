#!/usr/bin/env bash
# Shared by run.sh and test.sh: install what is missing, then configure and build.
# Usage: source setup.sh <build-dir> [extra cmake options...]
set -euo pipefail

kelvanor_packages=(g++ cmake ninja-build qt6-base-dev libtinyxml2-dev libsdl2-dev libc-ares-dev libxcb1-dev pkg-config
  qt6-translations-l10n googletest libgtest-dev libgmock-dev libbenchmark-dev fonts-wqy-microhei xvfb xauth
  clang libclang-rt-14-dev prometheus)

kelvanor_install_missing() {
  local missing=()
  for p in "${kelvanor_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

kelvanor_build() {
  local dir="$1"; shift
  local generator=()
  command -v ninja >/dev/null && [ ! -f "$dir/CMakeCache.txt" ] && generator=(-G Ninja)
  cmake -S . -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}
