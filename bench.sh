#!/usr/bin/env bash
# Builds and runs every benchmark, then prints every figure as a table beside
# its goal and, where the goal is relative, beside the peer it is compared
# with (measured in the same run) and their ratio.
#   ./bench.sh [--benchmark_filter=REGEX] [other benchmark flags]
#
# A benchmark states its goal in its label (see bench/windowbench.h):
#   goal<16ms  goal>300MB/s  goal<1028B       an absolute limit
#   goal<=1.1x:Peer  goal>=0.5x:Peer          a ratio to benchmark Peer's figure
#   peer                                      a floor others are compared with
# or measures its peer itself and reports both as counters: a ratio counter
# ("ratio" or "x_...") with the goal "goal ratio>=0.5" or "goal<=1.5x ...",
# the peer's figure as a counter named memchr_..., cp_... or peer_... (a
# peer named in the label, timed in the benchmark's own turns).
# A figure is the benchmark's time, its throughput for ">" goals, or its
# "bytes" counter when it has one. Of repeated benchmarks the median is used.
# Each benchmark runs in a process of its own, so that benchmarks with
# different counters can share a program.
# The last line counts the figures that miss their goals (a figure whose peer
# is missing misses too); a benchmark that failed (no figure) counts as a miss,
# is named above that line, and makes the script end with status 1.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
lcj_install
lcj_build default >&2
cmake --build --preset default --target benchmarks -j "$(nproc)" >&2
export QT_QPA_PLATFORM=offscreen
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
n=0
for b in build/bin/*_bench; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")" >&2
    while IFS= read -r name; do
        [ -n "$name" ] || continue
        pattern=$(printf '%s' "$name" | sed 's/[][\\.*^$+?(){}|]/\\&/g')
        n=$((n + 1))
        csv="$out/$(printf '%04d' "$n").csv"
        "$b" --benchmark_min_time=0.2 --benchmark_format=csv "$@" \
            --benchmark_filter="^${pattern}\$" >"$csv" 2>>"$out/stderr.log" || true
        # A benchmark program that ended without its figure still has its row.
        if [ "$(grep -c . "$csv")" -lt 2 ]; then
            printf 'name,error_occurred,error_message\n"%s",true,"the benchmark program failed"\n' \
                "$name" >"$csv"
        fi
    done < <("$b" --benchmark_list_tests "$@" 2>>"$out/stderr.log")
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
        ncol = splitcsv($0, h)
        for (i = 1; i <= ncol; i++) col[h[i]] = i
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
        # Counters after the standard columns: a ratio and the peer measured in the same row.
        ratioOf[name] = ""; peerOf[name] = ""; rateOf[name] = ""
        for (i = col["error_message"] + 1; i <= ncol; i++) {
            if (f[i] == "") continue
            if (h[i] == "ratio" || h[i] ~ /^x_/) ratioOf[name] = f[i] + 0
            else if (h[i] ~ /^(memchr|cp|peer)_.*ms$/) { peerOf[name] = f[i] + 0; peerKind[name] = "time" }
            else if (h[i] ~ /^(memchr|cp)_.*MBps$/) { peerOf[name] = f[i] * 1e6; peerKind[name] = "rate" }
            if (h[i] ~ /^(memchr|cp)_/) { peerLabel[name] = h[i]; sub(/_.*/, "", peerLabel[name]) }
            else if (h[i] ~ /MBps$/) rateOf[name] = f[i] * 1e6
        }
        if (("bytes" in col) && f[col["bytes"]] != "") { kind[name] = "bytes"; value[name] = f[col["bytes"]] + 0 }
        else if (rateOf[name] != "") { kind[name] = "rate"; value[name] = rateOf[name] }
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
            if (failed[name] != "") {
                printf fmt, name, "error", failed[name], "", "", "no"
                goals++; misses++; failures[++nfailed] = name ": " failed[name]
                continue
            }
            v = value[name]; goal = l; peer = ""; ratio = ""; met = ""
            if (ratioOf[name] != "" && match(l, /goal ?(ratio)?(<|>)=?[0-9.]+/)) {
                # The benchmark measured its peer itself.
                spec = substr(l, RSTART, RLENGTH); sub(/^goal ?(ratio)?/, "", spec)
                op = substr(spec, 1, 1); limit = spec; sub(/^[<>]=?/, "", limit); limit += 0
                pl = peerLabel[name]
                # A peer named in the label: its own row gives the figure shown.
                if ((pl == "" || pl == "peer") && match(l, /x:[^ ]+/)) pl = substr(l, RSTART + 2, RLENGTH - 2)
                goal = op "= " limit " x " (pl == "cp" ? "cp loop" : pl)
                if (peerOf[name] != "") peer = shown(peerKind[name], peerOf[name])
                else if (pl in value) peer = shown(kind[pl], value[pl])
                q = ratioOf[name]
                # A speed ratio reads as the figure over its peer: the larger, the faster.
                ratio = sprintf("%.2fx", q)
                met = (op == "<" ? q <= limit : q >= limit) ? "yes" : "NO"
            } else if (match(l, /goal(<|>)=?[0-9.]+x:[^ ]+/)) {
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
                # A floor measured beside an absolute goal is shown with it.
                if (peerOf[name] != "" && peerOf[name] > 0) {
                    peer = shown(peerKind[name], peerOf[name])
                    ratio = sprintf("%.2fx", v / peerOf[name])
                }
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
            if (met != "") { goals++; if (met != "yes") misses++ }
        }
        # A failed benchmark is named: its row alone would pass unnoticed.
        if (nfailed > 0) print ""
        for (i = 1; i <= nfailed; i++) printf "FAILED %s\n", failures[i]
        printf "%d of %d figures miss their goals\n", misses, goals
        exit nfailed > 0 ? 1 : 0
    }' "$out"/*.csv || {
    # What the failed programs said, before their files go.
    echo "== the benchmarks' messages (last lines)" >&2
    tail -n 20 "$out/stderr.log" >&2
    exit 1
}
