#!/usr/bin/env bash
# The setup program installed for real, in a fresh Wine prefix on a virtual
# display: silent install, the installed folder against the zip byte for byte,
# the Start menu shortcut, the Apps entry, the program and lcjtool started from
# the install, the file type .lcjpatch opened through the shell, an upgrade over
# an older version (files no longer shipped go, settings stay), the uninstall
# (nothing of ours left but the settings), and the same per machine (/AllUsers).
# Prints a line per check and the totals; exits non-zero when one failed.
#   scripts/windows-setup-test.sh [dist/lcjworkshop-<version>-setup.exe]
# The zip and the staged folder are found beside the setup program.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/windows-prefix.sh"
setup=$(realpath "${1:-$(ls "$lcj_root"/dist/lcjworkshop-*-setup.exe | head -n1)}")
version=$(basename "$setup" | sed -E 's/^lcjworkshop-(.*)-setup\.exe$/\1/')
dist=$(dirname "$setup")
zip=$dist/lcjworkshop-$version-win64.zip
stage=$dist/lcjworkshop-$version-win64
for f in "$zip" "$stage/lcjworkshop.exe" "$lcj_root/build/bin/lcjsamplegen"; do
    [ -e "$f" ] || { echo "$f missing: run ./package-windows.sh first" >&2; exit 2; }
done
work=$(mktemp -d /tmp/lcj-setuptest.XXXXXX)
cleanup() {
    [ -n "${WINEPREFIX:-}" ] && /usr/lib/wine/wineserver -k 2>/dev/null && timeout 30 /usr/lib/wine/wineserver -w
    kill "${lcj_xvfb_pid:-}" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
export WINEPREFIX=$work/prefix
start_all=$(date +%s)

passed=0
failed=0
# check NAME COMMAND...: one line, ok or FAIL with what the command said.
check() {
    local name=$1
    shift
    if "$@" >"$work/check.out" 2>&1; then
        passed=$((passed + 1))
        printf 'ok    %s\n' "$name"
    else
        failed=$((failed + 1))
        printf 'FAIL  %s\n' "$name"
        sed 's/^/        /' "$work/check.out" | head -n 20
    fi
}

py() { python3 "$lcj_root/scripts/windows-setup-check.py" "$@"; }
wineserver_wait() { /usr/lib/wine/wineserver -w; }
# A registry key exported as text (empty when it is missing).
# A file of its own for each export: two exports on one command line run in
# subshells, whose $RANDOM may repeat. A busy wineserver has been seen to leave
# an export unwritten once, so an empty one is asked for again.
reg_export() {
    local out try
    out=$(mktemp "$work/reg.XXXXXX")
    for try in 1 2; do
        lcj_wine regedit /E "$(lcj_winpath "$out")" "$1" >/dev/null 2>&1
        [ -s "$out" ] && break
    done
    [ -s "$out" ] && echo "$out" || echo "$work/missing.reg"
}
: >"$work/missing.reg"

user=$(id -un)
user_programs="$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs/岚川记数据工坊"
machine_programs="$WINEPREFIX/drive_c/Program Files/岚川记数据工坊"
user_menu="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/岚川记数据工坊.lnk"
machine_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/岚川记数据工坊.lnk"
uninst_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\lcjworkshop'
settings_key='HKEY_CURRENT_USER\Software\lcjworkshop\岚川记数据工坊'

step "Wine prefix $WINEPREFIX"
lcj_prefix_new
lcj_xvfb_start

# --- the install, per user ---------------------------------------------------
step "Silent install per user"
check "setup.exe /S ends with 0" lcj_wine "$setup" /S
dir=$user_programs
wdir=$(lcj_winpath "$dir")
check "the installed folder is the zip's folder plus uninstall.exe, byte for byte" \
    py tree "$zip" "$dir" uninstall.exe
check "Start menu shortcut to the installed lcjworkshop.exe" py shortcut "$user_menu" "$wdir\\lcjworkshop.exe"
check "Apps entry under HKCU with its values" \
    py uninstall-entry "$(reg_export "HKEY_CURRENT_USER\\$uninst_key")" "$wdir" "$version" /CurrentUser
check "file type .lcjpatch registered under HKCU" \
    py file-type "$(reg_export 'HKEY_CURRENT_USER\Software\Classes\.lcjpatch')" \
    "$(reg_export 'HKEY_CURRENT_USER\Software\Classes\lcjworkshop.patch')" HKEY_CURRENT_USER "$wdir"

step "The installed programs"
title_of() { xwininfo -root -tree 2>/dev/null | grep -o "\"$1[^\"]*\"" | head -n1; }
main_window_up() {
    local title=
    (cd "$work" && lcj_wine "$dir/lcjworkshop.exe" >/dev/null 2>&1 &)
    for _ in $(seq 1 90); do
        title=$(title_of '岚川记数据工坊V')
        [ -n "$title" ] && break
        sleep 1
    done
    echo "window: ${title:-none}"
    [ "$title" = "\"岚川记数据工坊V${version}版\"" ]
}
check "the installed lcjworkshop.exe shows its main window 岚川记数据工坊V${version}版" main_window_up
/usr/lib/wine/wineserver -k
sleep 1
lcjtool_version() {
    local out
    out=$(cd "$work" && lcj_wine "$dir/lcjtool.exe" --version | tr -d '\r')
    echo "lcjtool --version: $out"
    [ "$out" = "lcjtool $version" ]
}
check "lcjtool.exe --version names $version" lcjtool_version
game="$work/游戏 原版"
mod="$work/游戏 模组"
"$lcj_root/build/bin/lcjsamplegen" "$game" >/dev/null
"$lcj_root/build/bin/lcjsamplegen" "$mod" >/dev/null
lcjtool_export() {
    (cd "$work" && lcj_wine "$dir/lcjtool.exe" data export "$(lcj_winpath "$game/data.e5")" characters) \
        >"$work/characters.csv" && py characters "$game/data.e5" "$work/characters.csv"
}
check "lcjtool.exe data export of a sample data.e5 gives its characters" lcjtool_export

# A real patch, made by the installed lcjtool: record 1's 武力 raised in the mod.
patches="$work/补丁 下载"
mkdir -p "$patches"
patch_file="$patches/武力.lcjpatch"
make_patch() {
    awk -F, 'NR == 3 {$5 = 99} {print}' OFS=, "$work/characters.csv" >"$work/edited.csv"
    (cd "$work" && lcj_wine "$dir/lcjtool.exe" data import "$(lcj_winpath "$mod/data.e5")" characters \
        "$(lcj_winpath "$work/edited.csv")" &&
        lcj_wine "$dir/lcjtool.exe" patch make "$(lcj_winpath "$game")" "$(lcj_winpath "$mod")" \
            -o "$(lcj_winpath "$patch_file")") && [ -s "$patch_file" ]
}
make_patch >"$work/make-patch.log" 2>&1 || { echo "making the patch failed:"; cat "$work/make-patch.log"; }

# Opens the patch as a double click does (the shell's open verb) and waits for the
# program's log line. The program, started by the shell, has no stderr: Qt's log goes
# to OutputDebugString, which Wine's warn+seh channel prints. Wine's QT_ variables come
# in as WINEQT_ ones; its HKCR does not show per-user classes as Windows does, so a
# per-user check mirrors them there first.
shell_open() {
    local log=$work/shell-open.$RANDOM.log
    (cd "$work" && WINEDEBUG=-all,warn+seh WINEQT_LOGGING_RULES="lcj.shell.info=true" \
        /usr/lib/wine/wine64 start /unix "$patch_file" >/dev/null 2>"$log" &)
    for _ in $(seq 1 90); do
        grep -aq 'lcj.shell: opened' "$log" 2>/dev/null && break
        [ -n "$(title_of '错误')$(title_of 'Error')" ] && break
        sleep 1
    done
    py log-line "$log" "$(lcj_winpath "$patch_file")" budingopen
    local status=$?
    /usr/lib/wine/wineserver -k
    sleep 1
    return $status
}
mirror_user_classes() {
    py mirror-classes "$(reg_export 'HKEY_CURRENT_USER\Software\Classes\.lcjpatch')" \
        "$(reg_export 'HKEY_CURRENT_USER\Software\Classes\lcjworkshop.patch')" "$work/hkcr.reg" &&
        lcj_wine regedit /S "$(lcj_winpath "$work/hkcr.reg")"
}
unmirror_user_classes() {
    lcj_wine reg delete 'HKLM\Software\Classes\.lcjpatch' /f >/dev/null 2>&1
    lcj_wine reg delete 'HKLM\Software\Classes\lcjworkshop.patch' /f >/dev/null 2>&1
}
mirror_user_classes
check "a .lcjpatch opened through the shell starts the installed program with it" shell_open
unmirror_user_classes

# --- uninstall, per user -----------------------------------------------------
write_settings() {
    cat >"$work/settings.reg" <<REG
Windows Registry Editor Version 5.00

[$settings_key]
"setupTest"="$1"
REG
    python3 -c 'import sys; p = sys.argv[1]; t = open(p, encoding="utf-8").read(); open(p, "wb").write(("\ufeff" + t.replace("\n", "\r\n")).encode("utf-16-le"))' \
        "$work/settings.reg"
    lcj_wine regedit /S "$(lcj_winpath "$work/settings.reg")"
}
settings_kept() { py settings "$(reg_export "$settings_key")" "$1"; }
# The uninstaller copies itself away and returns at once: the prefix's processes end with it.
uninstall() {
    lcj_wine "$1/uninstall.exe" /S "${@:2}" && wineserver_wait
}
nothing_left() { # folder menu root [file kept in the folder]
    py nothing-left "$1" "$2" "${4:-}" \
        "$(reg_export "$3\\$uninst_key")" \
        "$(reg_export "$3\\Software\\Classes\\.lcjpatch")" \
        "$(reg_export "$3\\Software\\Classes\\lcjworkshop.patch")"
}

step "Silent uninstall per user"
write_settings "before uninstall"
check "uninstall.exe /S ends with 0" uninstall "$dir"
check "nothing of ours left: files, folder, shortcut, Apps entry, file type" \
    nothing_left "$dir" "$user_menu" HKEY_CURRENT_USER
check "the settings key stays after uninstall" settings_kept "before uninstall"

# --- upgrade over an older version --------------------------------------------
step "An older version with a file no longer shipped"
old_stage="$work/old/lcjworkshop-0.9-win64"
mkdir -p "$(dirname "$old_stage")"
cp -rL "$stage" "$old_stage"
mkdir -p "$old_stage/旧插件"
echo "only in 0.9" >"$old_stage/旧插件/old-only.dll"
echo "only in 0.9" >"$old_stage/旧说明.txt"
echo "0.9" >>"$old_stage/使用说明.txt"
old_setup="$work/old/lcjworkshop-0.9-setup.exe"
LCJ_SETUP_FAST=1 lcj_timed "Older setup" "$lcj_root/scripts/windows-setup.sh" "$old_stage" 0.9 "$old_setup" >/dev/null
check "the older setup installs with /S" lcj_wine "$old_setup" /S
check "the older version's own files are installed" py has-files "$dir" "旧插件/old-only.dll" "旧说明.txt"
write_settings "kept over the upgrade"
printf '[gameFolder]\r\nlast=C:/games/lcj\r\n' >"$dir/lcjworkshop.ini"
cp "$dir/lcjworkshop.ini" "$work/portable.ini"
step "The current version over it"
check "setup.exe /S over the older version ends with 0" lcj_wine "$setup" /S
check "after the upgrade the folder is the zip's plus uninstall.exe and lcjworkshop.ini" \
    py tree "$zip" "$dir" uninstall.exe lcjworkshop.ini
check "the portable lcjworkshop.ini is unchanged" cmp "$work/portable.ini" "$dir/lcjworkshop.ini"
check "the settings key is unchanged" settings_kept "kept over the upgrade"
check "the Apps entry names the new version" \
    py uninstall-entry "$(reg_export "HKEY_CURRENT_USER\\$uninst_key")" "$wdir" "$version" /CurrentUser
check "the file type still opens the installed program" \
    py file-type "$(reg_export 'HKEY_CURRENT_USER\Software\Classes\.lcjpatch')" \
    "$(reg_export 'HKEY_CURRENT_USER\Software\Classes\lcjworkshop.patch')" HKEY_CURRENT_USER "$wdir"
step "Uninstall as Apps does (QuietUninstallString)"
quiet_uninstall() {
    local words
    mapfile -t words < <(py command-words "$(reg_export "HKEY_CURRENT_USER\\$uninst_key")" \
        QuietUninstallString)
    echo "${words[*]}"
    [ ${#words[@]} -gt 1 ] && lcj_wine "${words[@]}" && wineserver_wait
}
check "QuietUninstallString ends with 0" quiet_uninstall
check "nothing of ours left but the portable lcjworkshop.ini" \
    nothing_left "$dir" "$user_menu" HKEY_CURRENT_USER lcjworkshop.ini
check "the settings key stays after uninstall" settings_kept "kept over the upgrade"

# --- per machine ---------------------------------------------------------------
step "Silent install for all users"
dir=$machine_programs
wdir=$(lcj_winpath "$dir")
check "setup.exe /S /AllUsers ends with 0" lcj_wine "$setup" /S /AllUsers
check "the installed folder in Program Files is the zip's plus uninstall.exe" \
    py tree "$zip" "$dir" uninstall.exe
check "Start menu shortcut for all users" py shortcut "$machine_menu" "$wdir\\lcjworkshop.exe"
check "Apps entry under HKLM with its values" \
    py uninstall-entry "$(reg_export "HKEY_LOCAL_MACHINE\\$uninst_key")" "$wdir" "$version" /AllUsers
check "file type .lcjpatch registered under HKLM" \
    py file-type "$(reg_export 'HKEY_LOCAL_MACHINE\Software\Classes\.lcjpatch')" \
    "$(reg_export 'HKEY_LOCAL_MACHINE\Software\Classes\lcjworkshop.patch')" HKEY_LOCAL_MACHINE "$wdir"
check "a .lcjpatch opened through the shell starts the program in Program Files" shell_open
check "uninstall.exe /S of the per-machine install ends with 0" uninstall "$dir"
check "nothing of ours left in Program Files, the menu, HKLM" nothing_left "$dir" "$machine_menu" HKEY_LOCAL_MACHINE

end_all=$(date +%s)
printf 'Setup checks: %d passed, %d failed (%dm%02ds)\n' "$passed" "$failed" \
    $(((end_all - start_all) / 60)) $(((end_all - start_all) % 60))
[ "$failed" -eq 0 ]
