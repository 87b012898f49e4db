#!/usr/bin/env bash
# Install what is missing, build, and start the monitor in the current directory
# (it reads and writes setting.xml there).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
start_dir="$(pwd)"
cd "$here"
source ./setup.sh
kelvanor_install_missing
kelvanor_build build
cd "$start_dir"
exec "$here/build/kelvanor" "$@"
