#!/usr/bin/env bash
# Shared settings of the Windows build: the cache outside the tree, the Qt
# configure options and the key that names a Qt build by both. Sourced by
# scripts/windows-qt.sh, package-windows.sh and .ci/run.

lcj_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
lcj_cache=${LCJ_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/lcjworkshop}
lcj_toolchain=$lcj_root/cmake/mingw-w64-x86_64.cmake

lcj_win_packages=(cmake ninja-build dpkg-dev g++-mingw-w64-x86-64-posix wine64 xvfb unzip python3
                  fonts-noto-cjk qt6-base-dev libgtest-dev nsis x11-utils imagemagick xdotool)

# The smallest Qt the editor, lcjtool and the tests need: Core, Gui, Widgets,
# Test, the Windows and offscreen platforms, BMP and JPEG, the Windows styles.
# No ICU on Windows: GBK goes through the system code page (src/common).
lcj_qt_options=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DFEATURE_icu=OFF
    -DFEATURE_network=ON
    -DFEATURE_ssl=OFF
    # Qt turns the Schannel TLS backend off only for configure's -no-ssl, and
    # it does not build without ssl.
    -DFEATURE_schannel=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_opengl=OFF
    -DFEATURE_dynamicgl=OFF
    -DFEATURE_vulkan=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_tabletevent=OFF
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_freetype=OFF
    -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF
)

# The Qt version is the host's: its moc, rcc and uic serve the cross build.
lcj_qt_debian_version() {
    dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null
}
lcj_qt_version() {
    lcj_qt_debian_version | sed -E 's/^[0-9]+://; s/[+~-].*$//'
}
lcj_qt_key() {
    local hash
    hash=$( { printf '%s\n' "${lcj_qt_options[@]}"; cat "$lcj_toolchain"; } | sha256sum | cut -c1-12)
    echo "qt-$(lcj_qt_version)-mingw64-$hash"
}
lcj_qt_prefix() {
    echo "$lcj_cache/$(lcj_qt_key)/install"
}

lcj_sudo() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Debian's source packages for the suites the binary packages come from, in a
# file of their own so that a second run changes nothing.
lcj_ensure_deb_src() {
    local src=/etc/apt/sources.list.d/debian.sources out=/etc/apt/sources.list.d/lcjworkshop-src.sources
    [ -f "$out" ] && return 0
    [ -f "$src" ] || { echo "找不到 $src：请自行加入 deb-src 条目。" >&2; return 1; }
    awk 'BEGIN{RS=""; ORS="\n\n"} /(^|\n)Types:[^\n]*deb/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' \
        "$src" | lcj_sudo tee "$out" >/dev/null
    lcj_sudo apt-get update -qq
}

lcj_win_install() {
    local missing=()
    for p in "${lcj_win_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    lcj_sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive lcj_sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Prints "label: 12m34s" after a long step.
lcj_timed() {
    local label=$1 start end
    shift
    start=$(date +%s)
    "$@"
    end=$(date +%s)
    printf '%s: %dm%02ds\n' "$label" $(((end - start) / 60)) $(((end - start) % 60))
}

# True when a finished Qt for Windows of these options is in the cache.
lcj_qt_cached() {
    [ -f "$lcj_cache/$(lcj_qt_key)/done" ]
}
