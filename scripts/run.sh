#!/usr/bin/env bash
# Sets up, builds (Release) and starts Kordyne from the build folder with the given
# arguments. The program keeps its data beside the executable: build/release/app/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$("$root/scripts/build.sh" Release | tail -n 1)
exe="$dir/app/kordyne"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found. Run it anyway with: QT_QPA_PLATFORM=offscreen $0 [arguments]  (or run a profile: $0 a <profile>)" >&2
    case " ${*,,} " in
        *" a "*|*" o "*) export QT_QPA_PLATFORM=offscreen ;;
        *) exit 1 ;;
    esac
fi
exec "$exe" "$@"
