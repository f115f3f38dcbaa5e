#!/usr/bin/env bash
# Installs what the build needs from Debian's packages, then configures and
# builds the given preset. Sourced by run.sh and test.sh.
set -euo pipefail

lcj_packages=(cmake ninja-build g++ qt6-base-dev libgl-dev libgtest-dev libbenchmark-dev
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
lcj_build() {
    local preset=$1
    shift
    cmake --preset "$preset" "$@" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)"
}
