#!/usr/bin/env bash
# Builds and runs every benchmark, then prints every figure as a table beside
# its goal and, where the goal is relative, beside the peer it is compared
# with (measured in the same run) and their ratio.
#   ./bench.sh [--benchmark_filter=REGEX]
#
# A benchmark states its goal in its label (see bench/windowbench.h):
#   goal<16ms  goal>300MB/s  goal<1028B       an absolute limit
#   goal<=1.1x:Peer  goal>=0.5x:Peer          a ratio to benchmark Peer's figure
#   peer                                      a floor others are compared with
# A figure is the benchmark's time, its throughput for ">" goals, or its
# "bytes" counter when it has one. Of repeated benchmarks the median is used.
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

awk '
    # Splits one CSV line into f[1..n], honouring quotes; returns n.
    function splitcsv(line, f,    n, i, c, field, quoted) {
        n = 0; field = ""; quoted = 0
        for (i = 1; i <= length(line); i++) {
            c = substr(line, i, 1)
            if (quoted) {
                if (c == "\"") {
                    if (substr(line, i + 1, 1) == "\"") { field = field c; i++ } else quoted = 0
                } else field = field c
            } else if (c == "\"") quoted = 1
            else if (c == ",") { f[++n] = field; field = "" }
            else field = field c
        }
        f[++n] = field
        return n
    }
    function ms(value, unit) {
        if (unit == "ns") return value / 1e6
        if (unit == "us") return value / 1e3
        if (unit == "s") return value * 1e3
        return value
    }
    function shown(kind, v) {
        if (kind == "bytes") {
            if (v >= 1048576) return sprintf("%.1f MiB", v / 1048576)
            if (v >= 1024) return sprintf("%.1f KiB", v / 1024)
            return sprintf("%.0f B", v)
        }
        if (kind == "rate") return sprintf("%.0f MB/s", v / 1048576)
        if (v < 0.001) return sprintf("%.1f ns", v * 1e6)
        if (v < 0.1) return sprintf("%.1f us", v * 1000)
        return sprintf("%.2f ms", v)
    }
    FNR == 1 {
        delete col
        for (i = 1; i <= splitcsv($0, h); i++) col[h[i]] = i
        next
    }
    {
        splitcsv($0, f)
        name = f[col["name"]]
        # Aggregates of repeated runs: the median stands for the benchmark.
        if (name ~ /_(mean|stddev|cv)$/) next
        sub(/_median$/, "", name)
        gsub(/\/(iterations|repeats):[0-9]+/, "", name)
        gsub(/\/(real|manual)_time/, "", name)
        order[++rows] = name
        label[name] = f[col["label"]]
        failed[name] = f[col["error_occurred"]] == "true" ? f[col["error_message"]] : ""
        if (("bytes" in col) && f[col["bytes"]] != "") { kind[name] = "bytes"; value[name] = f[col["bytes"]] + 0 }
        else if (label[name] ~ /goal>/) { kind[name] = "rate"; value[name] = f[col["bytes_per_second"]] + 0 }
        else { kind[name] = "time"; value[name] = ms(f[col["real_time"]] + 0, f[col["time_unit"]]) }
    }
    END {
        fmt = "| %-44s | %12s | %-34s | %12s | %7s | %-4s |\n"
        printf fmt, "Measurement", "Figure", "Goal", "Peer", "Ratio", "Met"
        printf "|%s|%s|%s|%s|%s|%s|\n", "----------------------------------------------",
               "--------------", "------------------------------------", "--------------", "---------", "------"
        for (r = 1; r <= rows; r++) {
            name = order[r]; l = label[name]
            if (failed[name] != "") { printf fmt, name, "error", failed[name], "", "", "no"; continue }
            v = value[name]; goal = l; peer = ""; ratio = ""; met = ""
            if (match(l, /goal(<|>)=?[0-9.]+x:[^ ]+/)) {
                spec = substr(l, RSTART + 4, RLENGTH - 4)
                op = substr(spec, 1, 1)
                rest = substr(spec, 2); if (substr(rest, 1, 1) == "=") rest = substr(rest, 2)
                limit = substr(rest, 1, index(rest, "x") - 1) + 0
                peerName = substr(spec, index(spec, ":") + 1)
                # A benchmark with arguments is compared with its peer at the same arguments.
                args = name; sub(/^[^\/]*/, "", args)
                if ((peerName args) in value) peerName = peerName args
                goal = op "= " limit " x " peerName
                if (!(peerName in value) || failed[peerName] != "" || value[peerName] <= 0) {
                    peer = "missing"; met = "?"
                } else {
                    peer = shown(kind[peerName], value[peerName])
                    q = v / value[peerName]
                    ratio = sprintf("%.2fx", q)
                    met = (op == "<" ? q <= limit : q >= limit) ? "yes" : "NO"
                }
            } else if (match(l, /goal<[0-9.]+ms/)) {
                limit = substr(l, RSTART + 5, RLENGTH - 7) + 0
                goal = "< " limit " ms"; met = v < limit ? "yes" : "NO"
            } else if (match(l, /goal<[0-9.]+B/)) {
                limit = substr(l, RSTART + 5, RLENGTH - 6) + 0
                goal = "< " shown("bytes", limit); met = v < limit ? "yes" : "NO"
            } else if (match(l, /goal>[0-9.]+MB\/s/)) {
                limit = substr(l, RSTART + 5, RLENGTH - 9) + 0
                goal = "> " limit " MB/s"; met = v / 1048576 > limit ? "yes" : "NO"
            } else if (l == "peer") {
                goal = "(peer)"
            }
            printf fmt, name, shown(kind[name], v), goal, peer, ratio, met
        }
    }' "$out"/*.csv
