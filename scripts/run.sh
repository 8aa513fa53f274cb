#!/usr/bin/env bash
# Sets up, builds (Release) and starts Kordyne from the build folder with the given
# arguments. The program keeps its data beside the executable: build/release/app/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$("$root/scripts/build.sh" Release | tail -n 1)
exec "$dir/app/kordyne" "$@"
