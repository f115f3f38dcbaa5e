#!/usr/bin/env bash
# Sourced: lcj_wine_cjk_fonts makes a CJK font reachable in the Wine prefix
# $WINEPREFIX (Wine has no Chinese font of its own): Noto Sans CJK goes into
# its Fonts folder and stands in for the fonts Chinese Windows programs ask for.
#   lcj_wine_cjk_fonts WORKFOLDER
lcj_wine_cjk_fonts() {
    local work=$1 font=/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc
    cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
    cat >"$work/fonts.reg" <<'REG'
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
    "$lcj_root/scripts/wine-run.sh" regedit \
        "$("$lcj_root/scripts/wine-run.sh" winepath -w "$work/fonts.reg" 2>/dev/null)" >/dev/null 2>&1
}
