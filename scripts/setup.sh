#!/usr/bin/env bash
# Installs what the build needs from Debian's packages, then configures and
# builds the given preset. Sourced by run.sh and test.sh.
set -euo pipefail

lcj_packages=(cmake ninja-build g++ ccache qt6-base-dev libgl-dev libgtest-dev libbenchmark-dev
              clang libclang-rt-14-dev
              fonts-noto-cjk clang-format qt6-translations-l10n)

lcj_missing_packages() {
    local missing=()
    for p in "${lcj_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    echo "${missing[@]:-}"
}

lcj_install() {
    if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
        echo "这台机器没有 apt：请自行安装 CMake、Ninja、g++、Qt 6 (Core/Gui/Widgets/Test)、GoogleTest 与中文字体后再试。" >&2
        echo "No apt here: install CMake, Ninja, g++, Qt 6, GoogleTest and a CJK font by hand." >&2
        exit 1
    fi
    local missing
    missing=$(lcj_missing_packages)
    [ -z "$missing" ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null 2>&1 || { echo "需要 root 或 sudo 来安装: $missing" >&2; exit 1; }
        sudo=(sudo)
    fi
    echo "Installing: $missing"
    "${sudo[@]}" apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends $missing
}

# lcj_build PRESET [CMAKE-OPTION...]
# Compiles through ccache when it is there, its cache kept outside the tree
# (~/.cache/lcjworkshop/ccache): a later build of any clone on this machine
# takes what an earlier one compiled. Paths are taken relative to the clone, and
# the precompiled headers' definitions and times are allowed to differ.
lcj_build() {
    local preset=$1 launcher=()
    shift
    if command -v ccache >/dev/null 2>&1; then
        export CCACHE_DIR=${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/lcjworkshop/ccache}
        export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
        export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake --preset "$preset" "${launcher[@]}" "$@" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)"
}
