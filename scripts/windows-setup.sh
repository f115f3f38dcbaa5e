#!/usr/bin/env bash
# Builds the setup program of a staged Windows release folder with NSIS
# (packaging/windows/lcjworkshop.nsi). The lists of files it installs and
# removes are written here from the folder itself, so the setup installs
# exactly what the zip holds, and its uninstaller removes exactly that.
#   scripts/windows-setup.sh <staged folder> <version> <setup.exe>
# The program's icon (build-windows/icons/lcjworkshop.ico) becomes the setup's
# when the build made one, and its picture (build-windows/icons/lcjsetup.bmp)
# the one of the first and last page; NSIS's own otherwise. LCJ_SETUP_FAST=1 packs with
# zlib instead of LZMA: a larger setup, built in a fraction of the time (tests).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/windows-env.sh"
[ $# -eq 3 ] || { echo "用法: $0 <staged folder> <version> <setup.exe>" >&2; exit 2; }
stage=$(realpath "$1")
version=$2
out=$(realpath -m "$3")
[ -f "$stage/lcjworkshop.exe" ] || { echo "$stage/lcjworkshop.exe missing" >&2; exit 1; }
command -v makensis >/dev/null || { echo "makensis missing (Debian package nsis)" >&2; exit 1; }
work=$(mktemp -d /tmp/lcj-setup.XXXXXX)
trap 'rm -rf "$work"' EXIT

# A name NSIS would read as a variable or a string's end is not shipped.
bad=$(cd "$stage" && find . -name '*["`$]*')
[ -z "$bad" ] || { printf 'unusable file names for the setup:\n%s\n' "$bad" >&2; exit 1; }
nsis_text() { printf '%s' "$1"; }
win() { printf '%s' "${1//\//\\}"; }

(
    cd "$stage"
    # Folders in order, each with its own files.
    find . -type d | LC_ALL=C sort | while read -r dir; do
        rel=${dir#.}
        rel=${rel#/}
        if [ -n "$rel" ]; then
            printf 'SetOutPath "$INSTDIR\\%s"\n' "$(nsis_text "$(win "$rel")")"
        else
            printf 'SetOutPath "$INSTDIR"\n'
        fi
        find "$dir" -mindepth 1 -maxdepth 1 -type f | LC_ALL=C sort | while read -r file; do
            printf 'File "%s"\n' "$(nsis_text "$stage/${file#./}")"
        done
    done
) >"$work/files.nsh"
(
    cd "$stage"
    find . -type f | LC_ALL=C sort | while read -r file; do
        printf 'Delete "$INSTDIR\\%s"\n' "$(nsis_text "$(win "${file#./}")")"
    done
    # Folders deepest first, each only when empty.
    find . -mindepth 1 -type d | LC_ALL=C sort -r | while read -r dir; do
        printf 'RMDir "$INSTDIR\\%s"\n' "$(nsis_text "$(win "${dir#./}")")"
    done
) >"$work/unfiles.nsh"

# VIProductVersion wants four numbers.
quad=$(printf '%s' "$version" | awk -F. '{printf "%d.%d.%d.%d", $1, $2, $3, $4}')
size_kb=$(du -sk --apparent-size "$stage" | cut -f1)
options=()
[ -f "$lcj_root/build-windows/icons/lcjworkshop.ico" ] &&
    options=(-DAPP_ICON="$lcj_root/build-windows/icons/lcjworkshop.ico")
[ -f "$lcj_root/build-windows/icons/lcjsetup.bmp" ] &&
    options+=(-DWIZARD_BITMAP="$lcj_root/build-windows/icons/lcjsetup.bmp")
[ "${LCJ_SETUP_FAST:-0}" = 1 ] && options+=(-DFAST_COMPRESSION)
mkdir -p "$(dirname "$out")"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DVERSION_QUAD="$quad" -DSTAGE="$stage" \
    -DFILES="$work/files.nsh" -DUNFILES="$work/unfiles.nsh" -DSIZE_KB="$size_kb" -DOUTFILE="$out" \
    "${options[@]}" "$lcj_root/packaging/windows/lcjworkshop.nsi"
printf 'Wrote %s (%s)\n' "$out" "$(du -h "$out" | cut -f1)"
