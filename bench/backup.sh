#!/usr/bin/env bash
# A whole backup of the benchmark corpus: the program's "a" switch (offscreen) against
# `zip -r -6 -q`, `7z -tzip -mx5 -mmt=8` and `tar -cf - | pigz -6 -p 8` (what a Linux
# user picks for a fast backup) on the same tree. Prints the time ratios and the size
# ratio (ours / zip's), best of five alternating runs each (the machine's noise slows
# single runs by a fifth or more), then the writer's thread count against speed
# (bench_writer_threads). Usage: bench/backup.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$("$here/../scripts/build.sh" Release | tail -n 1)

corpus_script="${KORDYNE_SHARED_DIR:-$here/../../shared}/bench/make-corpus.sh"
[ -f "$corpus_script" ] || corpus_script=/work/shared/bench/make-corpus.sh
work=$(mktemp -d)
# The copy's lock is its user's, named after its file: a name of its own keeps it from
# meeting a Kordyne the user runs.
exe_name="kordyne-bench-$$"
home_dir=$(getent passwd "$(id -u)" | cut -d: -f6)
trap 'rm -rf "$work" "/tmp/$exe_name-$(id -u).lock" "$home_dir/.cache/$exe_name.lock"' EXIT
corpus=$(sh "$corpus_script" "$work/corpus" | tail -n 1)

# The program with its settings and one profile beside it; its per-user files go to $work.
prog="$work/prog"
mkdir -p "$prog" "$work/ours" "$work/xdg"
chmod 700 "$work/xdg"
cp "$build/app/kordyne" "$prog/$exe_name"
printf 'ZALOHA=BEZDOT\r\nINFO_ZIP=ANO\r\nLEVEL=6\r\nFULLPATH=NE\r\n' >"$prog/Nastaven.txt"
{
    printf '%s\r\n' "benchmark" "$corpus/" "$work/ours/" "*" 0 0 NE 0 0 Ne Ano 3 "0:00:00" Ne ""
    printf '%s\r\n' Ne "" 0 0 Ne Ne Ne "" Ano "" "" ""
} >"$prog/bench.lus"

now() { date +%s.%N; }
# Seconds one call of a command takes.
timed() {
    local start end
    start=$(now)
    "$@"
    end=$(now)
    echo "$start $end" | awk '{print $2 - $1}'
}
ours() {
    rm -f "$work/ours/bench.zip"
    XDG_CONFIG_HOME="$work/xdg" XDG_STATE_HOME="$work/xdg" \
        QT_QPA_PLATFORM=offscreen "$prog/$exe_name" a bench 2>/dev/null
}
reference() {
    rm -f "$work/ref.zip"
    (cd "$corpus" && zip -r -6 -q "$work/ref.zip" .)
}
sevenzip() {
    rm -f "$work/ref7.zip"
    (cd "$corpus" && 7z a -tzip -mx5 -mmt=8 "$work/ref7.zip" . >/dev/null)
}
tarpigz() {
    rm -f "$work/ref.tar.gz"
    (cd "$corpus" && tar -cf - . | pigz -6 -p 8 >"$work/ref.tar.gz")
}

# Rounds alternate, so that a change of load on the machine hits both alike.
best() { echo "$1 $2" | awk '{print ($1 < $2) ? $1 : $2}'; }
t_ours=1e9
t_ref=1e9
t_7z=1e9
t_pigz=1e9
for _ in 1 2 3 4 5; do
    t_ours=$(best "$(timed ours)" "$t_ours")
    t_ref=$(best "$(timed reference)" "$t_ref")
    t_7z=$(best "$(timed sevenzip)" "$t_7z")
    t_pigz=$(best "$(timed tarpigz)" "$t_pigz")
done
unzip -t -qq "$work/ours/bench.zip" >/dev/null
entries=$(unzip -Z1 "$work/ours/bench.zip" | wc -l)
s_ours=$(stat -c %s "$work/ours/bench.zip")
s_ref=$(stat -c %s "$work/ref.zip")
s_pigz=$(stat -c %s "$work/ref.tar.gz")
files=$(find "$corpus" -type f | wc -l)

echo "corpus: $files files, $(du -sb "$corpus" | cut -f1) bytes"
printf 'kordyne a: %.3f s, %d bytes, %d entries\n' "$t_ours" "$s_ours" "$entries"
printf 'zip -r -6: %.3f s, %d bytes\n' "$t_ref" "$s_ref"
printf '7z -tzip -mx5 -mmt=8: %.3f s\n' "$t_7z"
printf 'tar | pigz -6 -p 8: %.3f s, %d bytes\n' "$t_pigz" "$s_pigz"
awk -v a="$t_ours" -v b="$t_ref" 'BEGIN { printf "time ratio to zip: %.3f (goal <= 0.25)\n", a / b }'
awk -v a="$t_ours" -v b="$t_7z" 'BEGIN { printf "time ratio to 7z: %.3f (goal <= 0.4)\n", a / b }'
awk -v a="$t_ours" -v b="$t_pigz" 'BEGIN { printf "time ratio to tar | pigz: %.3f\n", a / b }'
awk -v a="$s_ours" -v b="$s_ref" 'BEGIN { printf "size ratio: %.4f (goal <= 1.005)\n", a / b }'
"$build/bench/bench_writer_threads" "$corpus"
