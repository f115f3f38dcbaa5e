#!/usr/bin/env bash
# A real start of the Windows release: unpacks the zip into a folder with a
# Chinese name, in a fresh Wine prefix on a virtual X display, and
#  - starts lcjworkshop.exe and waits for its main window, titled in Chinese;
#  - changes a character's name in the sample data.e5 (itself in a folder with
#    a Chinese name) with the zip's lcjtool.exe and checks the bytes on disk;
#  - takes the README's Windows pictures with lcjscreenshots.exe, which runs
#    on the zip's own DLLs beside lcjworkshop.exe.
# The prefix shows Chinese text with the CJK font (scripts/windows-prefix.sh).
#   scripts/windows-start.sh dist/lcjworkshop-<version>-win64.zip [picture folder]
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/windows-prefix.sh"
zip=$(realpath "$1")
pictures=$(realpath -m "${2:-$lcj_root/build-windows/screenshots}")
work=$(mktemp -d /tmp/lcj-start.XXXXXX)
trap 'kill "${xvfb_pid:-}" 2>/dev/null || true; [ -n "${WINEPREFIX:-}" ] && WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
if [ "${LCJ_REUSE_PREFIX:-0}" = 1 ]; then
    export WINEPREFIX=$lcj_cache/wine-start
else
    export WINEPREFIX=$work/prefix # fresh: nothing from an earlier run helps
fi

step "Unpacking $(basename "$zip")"
app=$(lcj_unpack "$zip" "$work")

step "Wine prefix $WINEPREFIX"
lcj_prefix_new

step "Virtual display"
lcj_xvfb_start
xvfb_pid=$lcj_xvfb_pid

step "Starting lcjworkshop.exe"
(cd "$app" && "$lcj_root/scripts/wine-run.sh" ./lcjworkshop.exe >/dev/null 2>&1 &)
title=
for _ in $(seq 1 90); do
    title=$(xwininfo -root -tree 2>/dev/null | grep -o '"岚川记数据工坊V[^"]*"' | head -n1 || true)
    [ -n "$title" ] && break
    sleep 1
done
[ -n "$title" ] || { echo "lcjworkshop.exe showed no main window" >&2; exit 1; }
step "Main window up: $title"

step "lcjtool.exe on a data file in a folder with a Chinese name"
game="$work/我的 游戏"
mkdir -p "$game"
"$lcj_root/build/bin/lcjsamplegen" "$game" >/dev/null
cp "$game/data.e5" "$work/data.before"
wgame=$("$lcj_root/scripts/wine-run.sh" winepath -w "$game/data.e5" 2>/dev/null)
(cd "$app" && "$lcj_root/scripts/wine-run.sh" ./lcjtool.exe data export "$wgame" characters) \
    >"$work/characters.csv"
# Row of record 2: its name becomes 岚川记.
awk -F, 'NR == 1 {print; next} NR == 4 {$2 = "岚川记"} {print}' OFS=, "$work/characters.csv" \
    >"$work/edited.csv"
wcsv=$("$lcj_root/scripts/wine-run.sh" winepath -w "$work/edited.csv" 2>/dev/null)
(cd "$app" && "$lcj_root/scripts/wine-run.sh" ./lcjtool.exe data import "$wgame" characters "$wcsv")
python3 - "$work/data.before" "$game/data.e5" <<'PY'
import sys
before, after = open(sys.argv[1], 'rb').read(), open(sys.argv[2], 'rb').read()
at = 396 + 32 * 2
want = before[:at] + '岚川记'.encode('gbk').ljust(12, b'\0') + before[at + 12:]
if after != want:
    diff = [i for i in range(min(len(after), len(want))) if after[i] != want[i]]
    sys.exit(f"data.e5 after the edit differs from what was expected at {diff[:8]}")
print("data.e5: record 2's name is 岚川记 in GBK, every other byte unchanged")
PY

step "Pictures of the Windows build"
cp "$lcj_root/build-windows/bin/lcjscreenshots.exe" "$app/"
mkdir -p "$pictures"
(cd "$app" && "$lcj_root/scripts/wine-run.sh" ./lcjscreenshots.exe -platform windows \
    "$("$lcj_root/scripts/wine-run.sh" winepath -w "$pictures" 2>/dev/null)")
ls "$pictures"
step "Done"
