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
rm -f "$build"/Testing/qt/*.txt
start=$(date +%s)
if [ ! -d "$WINEPREFIX/drive_c" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (first time only: several minutes)"
    WINEDLLOVERRIDES=mscoree,mshtml= scripts/wine-run.sh wineboot -i >/dev/null 2>&1 || true
fi
status=0
(cd "$build" && ctest -j "$(nproc)" --timeout 1200 --output-on-failure --output-log "$PWD/Testing/wine-tests.log") ||
    status=$?
end=$(date +%s)
# Sums "[  PASSED  ] N tests" lines and the like (none found is zero).
sum() { { grep -hoE "$1" "$build/Testing/Temporary/LastTest.log" || true; } | awk -v f="$2" '{s += $f} END {print s + 0}'; }
cases=$(sum '\[  PASSED  \] [0-9]+ test' 4)
gfail=$(sum '\[  FAILED  \] [0-9]+ test' 4)
gskip=$(sum '\[  SKIPPED \] [0-9]+ test' 4)
# Qt Test writes its results to Testing/qt/<program>.txt under Wine.
qt=$({ cat "$build"/Testing/qt/*.txt 2>/dev/null | grep -hoE 'Totals: [0-9]+ passed, [0-9]+ failed, [0-9]+ skipped' || true; } |
    awk '{p += $2; f += $4; s += $6} END {print p + 0, f + 0, s + 0}')
read -r qpass qfail qskip <<<"$qt"
echo "Windows tests under Wine: $((cases + qpass)) test cases passed, $((gfail + qfail)) failed," \
    "$((gskip + qskip)) skipped (GoogleTest $cases/$gfail/$gskip, Qt Test $qpass/$qfail/$qskip)"
printf 'Windows tests: %dm%02ds; log in %s\n' $(((end - start) / 60)) $(((end - start) % 60)) "$log"
for f in "$build"/Testing/qt/*.txt; do
    [ -f "$f" ] || continue
    { grep -E '^(FAIL!|SKIP |XPASS)' -A2 "$f" || true; } | sed "s|^|$(basename "$f" .txt): |"
done
if [ "$status" -ne 0 ] || [ "$qfail" -ne 0 ] || [ "$gfail" -ne 0 ]; then
    echo "Windows tests FAILED" >&2
    status=1
fi
exit "$status"
