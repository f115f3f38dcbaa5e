#!/usr/bin/env bash
# Pictures of every window of the Windows release at the display scales
# Windows laptops run at: 100 %, 125 % and 150 % (96, 120 and 144 dpi).
# Unpacks the zip into a fresh Wine prefix with a CJK font; for each scale it
# sets the display's dpi (LogPixels), starts a virtual display of a laptop's
# size and runs lcjscreenshots.exe beside the zip's DLLs, which pictures every
# window into <folder>-<dpi>/ (build-windows/screenshots-96/, -120/, -144/).
# Fails unless the program really ran at the scale: the device pixel ratio
# it reports is dpi/96 and the main window's picture grew by as much.
#   scripts/windows-dpi.sh dist/lcjworkshop-<version>-win64.zip [folder]
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/windows-env.sh"
. "$(dirname "${BASH_SOURCE[0]}")/windows-prefix.sh"
zip=$(realpath "$1")
base=$(realpath -m "${2:-$lcj_root/build-windows/screenshots}")
work=$(mktemp -d /tmp/lcj-dpi.XXXXXX)
stop_display() {
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
}
trap 'stop_display || true; wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
export WINEPREFIX=$work/prefix
wine() { "$lcj_root/scripts/wine-run.sh" "$@"; }
server=$(command -v wineserver || echo /usr/lib/wine/wineserver)
wineserver() { "$server" "$@"; }

step "Unpacking $(basename "$zip")"
app=$(lcj_unpack "$zip" "$work")
cp "$lcj_root/build-windows/bin/lcjscreenshots.exe" "$app/"

step "Wine prefix $WINEPREFIX"
wine wineboot -i >/dev/null 2>&1 || true
lcj_prefix_fonts

# dpi and the screen it is set on: 1366 x 768 at 100 %, the common
# 1920 x 1080 laptop screen at 125 % and 150 %.
for setting in 96:1366x768 120:1920x1080 144:1920x1080; do
    dpi=${setting%%:*} screen=${setting#*:}
    pictures=$base-$dpi
    step "$dpi dpi on a $screen screen -> $pictures"
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null || true # the next program reads the setting anew
    display=:$((90 + RANDOM % 100))
    Xvfb "$display" -screen 0 "${screen}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=$display
    sleep 2
    rm -rf "$pictures"
    mkdir -p "$pictures"
    (cd "$app" && wine ./lcjscreenshots.exe -platform windows \
        "$(wine winepath -w "$pictures" 2>/dev/null)") 2>&1 | tee "$pictures/log.txt" | grep -v '^  '
    wineserver -k 2>/dev/null || true
    stop_display
done

step "Checking the scales"
python3 - "$base" <<'PY'
import re, struct, sys
base = sys.argv[1]
def size(path):
    with open(path, 'rb') as f:
        head = f.read(24)
    return struct.unpack('>II', head[16:24])
widths = {}
for dpi in (96, 120, 144):
    log = open(f'{base}-{dpi}/log.txt', encoding='utf-8').read()
    m = re.search(r'device pixel ratio ([0-9.]+)', log)
    if not m or abs(float(m.group(1)) - dpi / 96) > 0.01:
        sys.exit(f'{dpi} dpi: the program ran at ratio {m.group(1) if m else "?"}, not {dpi / 96}')
    w, h = size(f'{base}-{dpi}/main.png')
    widths[dpi] = (w, h)
    print(f'{dpi} dpi: device pixel ratio {m.group(1)}, main.png {w} x {h}')
for dpi in (120, 144):
    for a, b in zip(widths[dpi], widths[96]):
        if abs(a - b * dpi / 96) > 2:
            sys.exit(f'{dpi} dpi: main.png is {widths[dpi]}, not {widths[96]} x {dpi / 96}')
PY
step "Done"
