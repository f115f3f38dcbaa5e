#!/usr/bin/env bash
# Builds and runs every benchmark.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
lcj_install
lcj_build default
for b in build/bin/*_bench; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    QT_QPA_PLATFORM=offscreen "$b" --benchmark_min_time=0.2
done
