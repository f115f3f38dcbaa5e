#!/usr/bin/env bash
# Builds the minimal Qt for Windows from Debian's own qtbase source, once, into
# the cache (~/.cache/lcjworkshop/qt-<version>-mingw64-<options hash>/install).
# A finished build is reused; a half-built tree is picked up where it stopped.
# Prints the install prefix on its last line.
set -euo pipefail
. "$(dirname "$0")/windows-env.sh"

key=$(lcj_qt_key)
dir=$lcj_cache/$key
prefix=$dir/install
if [ -f "$dir/done" ]; then
    echo "Qt for Windows: cached in $prefix"
    echo "$prefix"
    exit 0
fi

lcj_win_install
lcj_ensure_deb_src
mkdir -p "$dir"
echo "Qt for Windows: building $key in $dir (log of the steps follows)"

if [ ! -f "$dir/src.done" ]; then
    rm -rf "$dir/src" && mkdir -p "$dir/src"
    (cd "$dir/src" && apt-get source -qq "qt6-base=$(lcj_qt_debian_version)")
    touch "$dir/src.done"
fi
source_dir=$(find "$dir/src" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
[ -n "$source_dir" ] || { echo "qtbase source missing in $dir/src" >&2; exit 1; }

# A compiler cache that survives makes a rebuild of Qt (another option, a
# lost install) take minutes instead of half an hour; it is no part of the key.
launcher=()
command -v ccache >/dev/null 2>&1 &&
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$dir/build/build.ninja" ]; then
    lcj_timed "Qt configure" cmake -S "$source_dir" -B "$dir/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$lcj_toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
        "${launcher[@]}" "${lcj_qt_options[@]}"
fi
jobs=${LCJ_QT_JOBS:-$(nproc)}
lcj_timed "Qt build" nice -n "${LCJ_NICE:-5}" cmake --build "$dir/build" -j "$jobs"
lcj_timed "Qt install" cmake --install "$dir/build" >/dev/null
touch "$dir/done"
echo "Qt for Windows: installed in $prefix ($(du -sh "$prefix" | cut -f1))"
echo "$prefix"
