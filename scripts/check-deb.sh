#!/usr/bin/env bash
# Checks a .deb made by cpack without installing it: unpacked into a scratch
# root, /usr/bin/lcjtool must lead to the program and print the project
# version, lcjpic must lie beside the program with every picture of the build,
# and the desktop entry must name the program and its icon.
#   scripts/check-deb.sh dist/lcjworkshop_<version>_amd64.deb
set -euo pipefail
deb=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
version=$(dpkg-deb -f "$deb" Version)
fail() { echo "check-deb: $*" >&2; exit 1; }
for p in lcjworkshop lcjtool; do
    [ -L "$root/usr/bin/$p" ] || fail "/usr/bin/$p is not a link"
    [ "$(readlink -f "$root/usr/bin/$p")" = "$root/usr/lib/lcjworkshop/$p" ] || fail "/usr/bin/$p leads elsewhere"
done
[ "$("$root/usr/bin/lcjtool" --version)" = "lcjtool $version" ] || fail "lcjtool --version is not $version"
diff <(cd "$(dirname "$0")/../build/bin/lcjpic" && ls) <(cd "$root/usr/lib/lcjworkshop/lcjpic" && ls) >/dev/null ||
    fail "lcjpic in the package differs from the build's"
desktop=$root/usr/share/applications/lcjworkshop.desktop
grep -qx 'Exec=lcjworkshop' "$desktop" && grep -qx 'Icon=lcjworkshop' "$desktop" || fail "desktop entry"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/lcjworkshop.svg" ] || fail "icon missing"
for size in 16 24 32 48 64 128 256; do
    [ -f "$root/usr/share/icons/hicolor/${size}x$size/apps/lcjworkshop.png" ] || fail "icon of $size px missing"
done
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "no dependency on Qt Widgets"
echo "check-deb: $(basename "$deb") is sound (lcjtool $version, $(ls "$root/usr/lib/lcjworkshop/lcjpic" | wc -l) pictures)"
