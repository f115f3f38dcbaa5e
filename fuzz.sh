#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, both sanitizers) and runs each for a
# bounded time, at low priority, on seeds made from the sample game.
#   ./fuzz.sh [-j N] [seconds-per-target] [target...]
# -j N runs N targets at a time, each still for the given seconds.
# The corpus grows in fuzz-runs/corpus and is reused by the next run;
# fuzz-runs/totals.txt adds up the seconds each target has run. A failing
# input lands in fuzz-runs/findings; once fixed, keep it in
# fuzz/regressions/<target>/ so that ./test.sh runs it for ever after.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
lcj_install
jobs=1
if [ "${1:-}" = -j ]; then
    jobs=${2:?"-j needs a number"}
    shift 2
fi
seconds=${1:-60}
shift || true
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
bin=build-fuzz/bin
out=fuzz-runs
mkdir -p "$out/seeds" "$out/findings" "$out/logs"
"$bin/lcj_fuzz_seeds" "$out/seeds"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for f in "$bin"/fuzz_*; do targets+=("$(basename "$f" | sed 's/^fuzz_//')"); done
fi
export QT_QPA_PLATFORM=offscreen
run_target() {
    local t=$1 log="$out/logs/$1.log" result runs total
    mkdir -p "$out/corpus/$t"
    echo "== $t: ${seconds}s"
    if nice -n 15 "$bin/fuzz_$t" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 \
        -print_final_stats=1 -artifact_prefix="$out/findings/$t-" \
        "$out/corpus/$t" "$out/seeds/$t" >"$log" 2>&1; then
        result=clean
    else
        result=FINDING
    fi
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    echo "$t $seconds $runs $result" >>"$out/totals.txt"
    total=$(awk -v t="$t" '$1 == t { s += $2 } END { print s + 0 }' "$out/totals.txt")
    echo "   $t $result: $runs runs; $total s in total so far"
    [ "$result" = clean ] || { tail -n 30 "$log"; return 1; }
}
status=0
running=0
for t in "${targets[@]}"; do
    if [ "$jobs" -le 1 ]; then
        run_target "$t" || status=1
        continue
    fi
    if [ "$running" -ge "$jobs" ]; then
        wait -n || status=1
        running=$((running - 1))
    fi
    run_target "$t" &
    running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
    wait -n || status=1
    running=$((running - 1))
done
exit $status
