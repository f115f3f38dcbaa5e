#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, both sanitizers) and runs each for a
# bounded time, at low priority, on seeds made from the sample game.
#   ./fuzz.sh [seconds-per-target] [target...]
# The corpus grows in fuzz-runs/corpus and is reused by the next run;
# fuzz-runs/totals.txt adds up the seconds each target has run. A failing
# input lands in fuzz-runs/findings; once fixed, keep it in
# fuzz/regressions/<target>/ so that ./test.sh runs it for ever after.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
lcj_install
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
status=0
for t in "${targets[@]}"; do
    mkdir -p "$out/corpus/$t"
    log="$out/logs/$t.log"
    echo "== $t: ${seconds}s"
    if nice -n 15 "$bin/fuzz_$t" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 \
        -print_final_stats=1 -artifact_prefix="$out/findings/$t-" \
        "$out/corpus/$t" "$out/seeds/$t" >"$log" 2>&1; then
        result=clean
    else
        result=FINDING
        status=1
    fi
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    echo "$t $seconds $runs $result" >>"$out/totals.txt"
    total=$(awk -v t="$t" '$1 == t { s += $2 } END { print s + 0 }' "$out/totals.txt")
    echo "   $result: $runs runs; $total s in total so far"
    [ "$result" = clean ] || tail -n 30 "$log"
done
exit $status
