#!/usr/bin/env bash
# lcjtool over many scenarios in one call, measured in the same run as a cp
# loop over the same files (the cost of touching each file once from the
# shell). Goal: `scenario show` over 100 files within 1.5 x the cp loop.
# Rounds interleave the commands so that a busy machine slows all alike;
# each figure is the median of its rounds.
#   bench/lcjtool_batch.sh [FILES] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-100}
rounds=${2:-5}
bin=build/bin
if [ ! -x "$bin/lcjtool" ] || [ ! -x "$bin/lcjsamplegen" ]; then
    cmake --preset default >/dev/null
    cmake --build build --target lcjtool lcjsamplegen >&2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/lcjsamplegen" "$work/game" >/dev/null
mkdir "$work/many" "$work/other"
for i in $(seq 1 "$count"); do
    cp "$(printf '%s/game/S_%02d.eex' "$work" $(((i - 1) % 4 + 1)))" \
       "$(printf '%s/many/S_%03d.eex' "$work" "$i")"
done
cp "$work"/many/*.eex "$work/other/"
printf '{"battle": {"turns": 33}}' >"$work/edits.json"

cp_loop() { for f in "$work"/many/*.eex; do cp "$f" "$work/out/"; done; }
show_stdout() { "$bin/lcjtool" scenario show "$work/many" >"$work/out/all.json"; }
show_folder() { "$bin/lcjtool" scenario show "$work/many" -o "$work/out"; }
show_each() {
    for f in "$work"/many/*.eex; do
        "$bin/lcjtool" scenario show "$f" >"$work/out/$(basename "$f" .eex).json"
    done
}
edit_folder() { "$bin/lcjtool" scenario edit "$work/many" "$work/edits.json" -o "$work/out" >/dev/null; }
diff_folders() { "$bin/lcjtool" diff scenario "$work/many" "$work/other" >/dev/null; }

names=(cp_loop show_stdout show_folder show_each edit_folder diff_folders)
declare -A times
for _ in $(seq 1 "$rounds"); do
    for name in "${names[@]}"; do
        rm -rf "$work/out" && mkdir "$work/out"
        start=$(date +%s%N)
        "$name"
        times[$name]+="$((($(date +%s%N) - start) / 1000)) "
    done
done
median() { tr ' ' '\n' | sed '/^$/d' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

base=$(echo "${times[cp_loop]}" | median)
printf '%d scenario files, %d rounds, median wall time\n' "$count" "$rounds"
printf '| %-52s | %9s | %8s | %-6s | %-4s |\n' "Measurement" "Time" "x cp" "Goal" "Met"
printf '|%s|%s|%s|%s|%s|\n' "------------------------------------------------------" \
    "-----------" "----------" "--------" "------"
describe() {
    case $1 in
    cp_loop) echo "cp loop over the files" ;;
    show_stdout) echo "lcjtool scenario show FOLDER > one file" ;;
    show_folder) echo "lcjtool scenario show FOLDER -o OUT (one file each)" ;;
    show_each) echo "lcjtool scenario show, one process per file" ;;
    edit_folder) echo "lcjtool scenario edit FOLDER EDITS -o OUT" ;;
    diff_folders) echo "lcjtool diff scenario FOLDER FOLDER" ;;
    esac
}
for name in "${names[@]}"; do
    t=$(echo "${times[$name]}" | median)
    ratio=$(awk -v t="$t" -v b="$base" 'BEGIN { printf "%.2f", t / b }')
    goal="" met=""
    case $name in show_stdout | show_folder)
        goal="<= 1.5"
        met=$(awk -v r="$ratio" 'BEGIN { print (r <= 1.5) ? "yes" : "NO" }')
        ;;
    esac
    printf '| %-52s | %6.1f ms | %8s | %-6s | %-4s |\n' "$(describe "$name")" \
        "$(awk -v t="$t" 'BEGIN { print t / 1000 }')" "$ratio" "$goal" "$met"
done
