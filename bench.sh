#!/usr/bin/env bash
# Builds and runs every benchmark, then prints the measurements as a table
# beside their goals: start under 150 ms, every user action under one frame
# (16 ms), peak memory with every editor open under 80 MB.
#   ./bench.sh [--benchmark_filter=REGEX]
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
lcj_install
lcj_build default >&2
export QT_QPA_PLATFORM=offscreen
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for b in build/bin/*_bench; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")" >&2
    "$b" --benchmark_min_time=0.2 --benchmark_format=csv "$@" >"$out/$(basename "$b").csv"
done
peak_kb=$(build/bin/lcj_probe memory)

# name,iterations,real_time,cpu_time,time_unit,bytes_per_second,items_per_second,label,...
cat "$out"/*.csv | awk -F, -v peak_kb="$peak_kb" '
    function ms(value, unit) {
        if (unit == "ns") return value / 1e6
        if (unit == "us") return value / 1e3
        if (unit == "s") return value * 1e3
        return value
    }
    BEGIN {
        printf "| %-40s | %12s | %-9s | %-4s |\n", "Measurement", "Time", "Goal", "Met"
        printf "|%s|%s|%s|%s|\n", "------------------------------------------",
               "--------------", "-----------", "------"
    }
    $1 == "name" || NF < 8 { next }
    {
        name = $1; gsub(/"/, "", name)
        label = $8; gsub(/"/, "", label)
        if ($9 == "true") { printf "| %-40s | %12s | %-9s | %-4s |\n", name, "error", "", "no"; next }
        t = $3 + 0; unit = $5
        goal = ""; met = ""
        if (match(label, /goal<[0-9.]+ms/)) {
            goal = substr(label, RSTART + 5, RLENGTH - 5)
            limit = substr(goal, 1, length(goal) - 2) + 0
            met = ms(t, unit) < limit ? "yes" : "NO"
            goal = "< " goal
        } else if (match(label, /goal>[0-9.]+MB\/s/)) {
            goal = substr(label, RSTART + 5, RLENGTH - 5)
            rate = $6 / 1048576
            met = rate > substr(goal, 1, length(goal) - 4) + 0 ? "yes" : "NO"
            printf "| %-40s | %7.0f MB/s | %-9s | %-4s |\n", name, rate, "> " goal, met
            next
        }
        printf "| %-40s | %9.3f %-2s | %-9s | %-4s |\n", name, t, unit, goal, met
    }
    END {
        mb = peak_kb / 1024
        printf "| %-40s | %9.1f MB | %-9s | %-4s |\n", "Peak memory, every editor open", mb,
               "< 80 MB", mb < 80 ? "yes" : "NO"
    }'
