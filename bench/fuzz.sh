#!/bin/sh
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# (build/fuzz) and runs each for the given seconds (default 600), four at a time; names
# after the seconds run only those targets.
# Corpora grow in build/fuzz/corpus/<target>/, seeded from tests/data; crashes land in
# build/fuzz/crashes/<target>/. Exits non-zero when a target found a crash.
set -eu
seconds=${1:-600}
jobs=${FUZZ_JOBS:-4}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
targets="InflateFuzz ParallelInflateFuzz LegacyDecompressFuzz DeflateRoundTripFuzz DeflatePartsFuzz ArchiveFuzz ProfileFileFuzz SettingsFileFuzz"
[ $# -gt 1 ] && shift && targets="$*"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKORDYNE_FUZZ=ON -DKORDYNE_SANITIZE=ON -DKORDYNE_TESTS=OFF -DKORDYNE_BENCH=OFF >/dev/null
# shellcheck disable=SC2086
cmake --build "$build" --target $targets

# seed <target> <files...>: copies the files into the target's corpus.
seed() {
    dir=$build/corpus/$1
    shift
    mkdir -p "$dir"
    for file in "$@"; do
        [ -f "$file" ] && cp -n "$file" "$dir/" || true
    done
}
seed ArchiveFuzz $(find "$root/tests/data" -name '*.zip' -o -name '*.exe')
seed ProfileFileFuzz $(find "$root/tests/data" -name '*.lus')
seed SettingsFileFuzz $(find "$root/tests/data" -name 'Nastaven*.txt')
seed DeflateRoundTripFuzz $(find "$root/tests/data" -name '*.lus' -o -name '*.txt')
seed DeflatePartsFuzz $(find "$root/tests/data" -name '*.lus' -o -name '*.txt')
# The decoders get the raw data of the fixtures' entries and zlib's streams.
python3 "$root/bench/fuzz-seeds.py" "$root/tests/data" "$build/corpus"

# The targets' scratch files (extracted entries, written profiles) go to memory when it can.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=${TMPDIR:-/dev/shm}
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
run() {
    target=$1
    mkdir -p "$build/crashes/$target"
    cd "$build/crashes/$target"
    if "$build/tests/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -timeout=30 \
        -rss_limit_mb=4096 -print_final_stats=1 "$build/corpus/$target" \
        >"$build/$target.log" 2>&1; then
        echo "$target: clean ($(grep -E '^stat::number_of_executed_units' "$build/$target.log" | awk '{print $2}') runs)"
    else
        echo "$target: FAILED, see $build/$target.log and $build/crashes/$target/"
        return 1
    fi
}
pids=""
running=0
for target in $targets; do
    run "$target" &
    pids="${pids:+$pids }$!"
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then # wait for the oldest
        wait "${pids%% *}" || status=1
        case $pids in *" "*) pids=${pids#* } ;; *) pids="" ;; esac
        running=$((running - 1))
    fi
done
for pid in $pids; do wait "$pid" || status=1; done
exit $status
