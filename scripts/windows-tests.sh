#!/usr/bin/env bash
# Runs every test of a Windows build folder under Wine (the preset's emulator,
# scripts/wine-run.sh) with the offscreen platform, and prints the totals:
# test programs from ctest, test cases summed from GoogleTest and Qt Test.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/windows-env.sh"
build=${1:-build-windows}
log=$build/Testing/wine-tests.log
export QT_QPA_PLATFORM=offscreen WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-$lcj_cache/wine}
mkdir -p "$(dirname "$log")"
start=$(date +%s)
if [ ! -d "$WINEPREFIX/drive_c" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (first time only: several minutes)"
    WINEDLLOVERRIDES=mscoree,mshtml= scripts/wine-run.sh wineboot -i >/dev/null 2>&1 || true
fi
status=0
(cd "$build" && ctest -j "$(nproc)" --timeout 1200 --output-on-failure --output-log "$PWD/Testing/wine-tests.log") ||
    status=$?
end=$(date +%s)
cases=$(grep -hoE '\[  PASSED  \] [0-9]+ test' "$log" | awk '{s += $4} END {print s + 0}')
gfail=$(grep -hoE '\[  FAILED  \] [0-9]+ test' "$log" | awk '{s += $4} END {print s + 0}')
gskip=$(grep -hoE '\[  SKIPPED \] [0-9]+ test' "$log" | awk '{s += $4} END {print s + 0}')
qt=$(grep -hoE 'Totals: [0-9]+ passed, [0-9]+ failed, [0-9]+ skipped' "$log" |
    awk '{p += $2; f += $4; s += $6} END {print p + 0, f + 0, s + 0}')
read -r qpass qfail qskip <<<"$qt"
echo "Windows tests under Wine: $((cases + qpass)) test cases passed, $((gfail + qfail)) failed," \
    "$((gskip + qskip)) skipped (GoogleTest $cases/$gfail/$gskip, Qt Test $qpass/$qfail/$qskip)"
printf 'Windows tests: %dm%02ds; log in %s\n' $(((end - start) / 60)) $(((end - start) % 60)) "$log"
if [ "$status" -ne 0 ]; then
    echo "Windows tests FAILED" >&2
fi
exit "$status"
