#!/usr/bin/env bash
# Configures and builds into build/<type> (default Release). Usage: build.sh [Release|Debug]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
type=${1:-Release}
"$root/scripts/setup.sh"
dir="$root/build/${type,,}"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" >&2
cmake --build "$dir" >&2
echo "$dir"
