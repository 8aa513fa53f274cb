#!/usr/bin/env bash
# Sets up, builds (Debug, with assertions) and runs every test with CTest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$("$root/scripts/build.sh" Debug | tail -n 1)
export QT_QPA_PLATFORM=offscreen TZ=Europe/Prague
cd "$dir"
ctest --output-on-failure -j"$(nproc)" "$@"
