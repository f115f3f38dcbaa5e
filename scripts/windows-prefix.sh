#!/usr/bin/env bash
# Sourced by the scripts that start Windows programs for real: a fresh Wine
# prefix where Chinese text shows, and a virtual X display. Wine has no Chinese
# font of its own: the CJK font is copied into the prefix's Fonts folder and the
# Windows fonts programs ask for are replaced by it.
. "$(dirname "${BASH_SOURCE[0]}")/windows-env.sh"

lcj_wine() { "$lcj_root/scripts/wine-run.sh" "$@"; }

# The Windows name of a Unix path.
lcj_winpath() { lcj_wine winepath -w "$1" 2>/dev/null; }

# Makes $WINEPREFIX (created when missing) show Chinese text.
lcj_prefix_fonts() {
    local font=/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc reg
    cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
    reg=$(mktemp /tmp/lcj-fonts.XXXXXX.reg)
    cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"SimSun"="Noto Sans CJK SC"
"NSimSun"="Noto Sans CJK SC"
"Microsoft YaHei"="Noto Sans CJK SC"
"Microsoft YaHei UI"="Noto Sans CJK SC"
"MS Shell Dlg"="Noto Sans CJK SC"
"MS Shell Dlg 2"="Noto Sans CJK SC"
"Tahoma"="Noto Sans CJK SC"
"Segoe UI"="Noto Sans CJK SC"
REG
    lcj_wine regedit "$(lcj_winpath "$reg")" >/dev/null 2>&1
    rm -f "$reg"
    # Chinese font names (NSIS's Chinese pages ask for 宋体), not writable in a REGEDIT4 file.
    local name
    for name in 宋体 新宋体 微软雅黑; do
        lcj_wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /d "Noto Sans CJK SC" /f \
            >/dev/null 2>&1
    done
}

# Creates the prefix $WINEPREFIX and makes it show Chinese text.
lcj_prefix_new() {
    lcj_timed "Wine prefix" bash -c "\"$lcj_root/scripts/wine-run.sh\" wineboot -i >/dev/null 2>&1 || true"
    lcj_prefix_fonts
}

# A virtual display on a free number: sets DISPLAY and lcj_xvfb_pid.
lcj_xvfb_start() {
    local display
    display=:$((90 + RANDOM % 100))
    Xvfb "$display" -screen 0 "${1:-1366x900x24}" -nolisten tcp >/dev/null 2>&1 &
    lcj_xvfb_pid=$!
    export DISPLAY=$display
    sleep 2
}

# step TEXT: a line of progress with the time.
step() { printf '%s %s\n' "$(date -u +%H:%M:%S)" "$*"; }

# lcj_unpack ZIP WORK: unpacks the zip into a folder with a Chinese name and a
# space inside WORK, as a user may, and prints the program's folder.
lcj_unpack() {
    local app="$2/岚川 工坊"
    mkdir -p "$app"
    unzip -q "$1" -d "$app"
    find "$app" -mindepth 1 -maxdepth 1 -type d | head -n1
}
