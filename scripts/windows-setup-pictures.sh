#!/usr/bin/env bash
# The README's pictures of the setup program, taken under Wine on a virtual
# display at 150 % (LogPixels 144): the setup's first page, and a folder in
# Wine's explorer with a mod patch shown as "岚川记模组补丁". The setup is
# installed for all users for the second picture, since Wine's HKCR does not
# show per-user file types as Windows does.
#   scripts/windows-setup-pictures.sh dist/lcjworkshop-<version>-setup.exe [folder]
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/windows-prefix.sh"
setup=$(realpath "$1")
pictures=$(realpath -m "${2:-$lcj_root/docs/images/windows}")
work=$(mktemp -d /tmp/lcj-setuppictures.XXXXXX)
trap '/usr/lib/wine/wineserver -k 2>/dev/null && timeout 30 /usr/lib/wine/wineserver -w; kill "${lcj_xvfb_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= WINEPREFIX=$work/prefix
mkdir -p "$pictures"

# A Chinese Windows: Wine takes its language and code page (936, in which explorer
# shows a file type's name) from the locale, compiled here for this run only.
mkdir -p "$work/locale"
localedef -i zh_CN -f UTF-8 "$work/locale/zh_CN.UTF-8" 2>/dev/null ||
    [ -f "$work/locale/zh_CN.UTF-8/LC_CTYPE" ]
export LOCPATH=$work/locale
export LC_ALL=zh_CN.UTF-8

lcj_prefix_new
lcj_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
lcj_wine reg add 'HKCU\Software\Wine\Fonts' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
lcj_wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
/usr/lib/wine/wineserver -w
lcj_xvfb_start 1600x1100x24

# The id of the first window whose title matches, once it is there.
window_of() {
    local id=
    for _ in $(seq 1 60); do
        id=$(xwininfo -root -tree 2>/dev/null | grep -E "\"$1\"" | awk '{print $1}' | head -n1)
        [ -n "$id" ] && break
        sleep 1
    done
    [ -n "$id" ] || { echo "no window \"$1\"" >&2; return 1; }
    sleep 3 # drawn
    echo "$id"
}

(cd "$work" && lcj_wine "$setup" >/dev/null 2>&1 &)
id=$(window_of '岚川记数据工坊 [0-9.]+ 安装')
import -window "$id" "$pictures/setup-welcome.png"
echo "Wrote $pictures/setup-welcome.png"
/usr/lib/wine/wineserver -k
sleep 1

lcj_wine "$setup" /S /AllUsers
folder="$work/下载的补丁"
mkdir -p "$folder"
"$lcj_root/build/bin/lcjsamplegen" "$work/原版" >/dev/null
"$lcj_root/build/bin/lcjsamplegen" "$work/模组" >/dev/null
tool="$WINEPREFIX/drive_c/Program Files/岚川记数据工坊/lcjtool.exe"
lcj_wine "$tool" data export "$(lcj_winpath "$work/模组/data.e5")" characters |
    awk -F, 'NR == 3 {$5 = 99} {print}' OFS=, >"$work/edited.csv"
lcj_wine "$tool" data import "$(lcj_winpath "$work/模组/data.e5")" characters \
    "$(lcj_winpath "$work/edited.csv")" >/dev/null
lcj_wine "$tool" patch make "$(lcj_winpath "$work/原版")" "$(lcj_winpath "$work/模组")" \
    -o "$(lcj_winpath "$folder/强兵.lcjpatch")" >/dev/null
cp "$work/原版/data.e5" "$folder/"
(cd "$work" && lcj_wine explorer "$(lcj_winpath "$folder")" >/dev/null 2>&1 &)
id=$(window_of '下载的补丁')
# Wide enough for the column "Type".
xdotool windowsize "$id" 1500 560
sleep 3
import -window "$id" "$pictures/setup-filetype.png"
echo "Wrote $pictures/setup-filetype.png"
