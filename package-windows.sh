#!/usr/bin/env bash
# The Windows release, built here: installs what is missing (Debian), builds a
# minimal Qt for Windows from Debian's own Qt source once (cached in
# ~/.cache/lcjworkshop/), cross-compiles the editor with MinGW-w64 and writes
# dist/lcjworkshop-<version>-win64.zip and its setup program
# dist/lcjworkshop-<version>-setup.exe (NSIS).
#
#   ./package-windows.sh             the zip and the setup program
#   ./package-windows.sh --test      also builds every test and runs it under Wine,
#                                    then installs, upgrades and uninstalls the
#                                    setup program in a fresh Wine prefix
#   ./package-windows.sh --start     also starts the zipped program under Wine on
#                                    a virtual display and takes screenshots
#   ./package-windows.sh --pictures  also takes the README's pictures of the
#                                    setup program and of the file type, and
#                                    pictures every window under Wine at 100 %,
#                                    125 % and 150 % display scale
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
. scripts/windows-env.sh

run_tests=0
start_check=0
pictures=0
for arg in "$@"; do
    case $arg in
    --test) run_tests=1 ;;
    --start) start_check=1 ;;
    --pictures) pictures=1 ;;
    -h | --help) sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "用法: $0 [--test] [--start] [--pictures]" >&2; exit 2 ;;
    esac
done

all_start=$(date +%s)
lcj_install
lcj_win_install

echo "== Qt for Windows"
lcj_timed "Qt for Windows" scripts/windows-qt.sh
qt_prefix=$(lcj_qt_prefix)
[ -f "$qt_prefix/lib/cmake/Qt6/Qt6Config.cmake" ] || { echo "Qt for Windows missing in $qt_prefix" >&2; exit 1; }
export LCJ_QT_WINDOWS=$qt_prefix

launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# LCJ_HOST_BUILT=1: the Linux build is done (.ci/run builds it before starting
# this beside the Linux tests, which must not share its build folder at once).
if [ "${LCJ_HOST_BUILT:-0}" = 1 ] && [ -x build/bin/lcjpicgen ] && [ -x build/bin/lcjicongen ] &&
    [ -x build/bin/lcjsamplegen ]; then
    echo "== The picture folder and the icons: the Linux build's generators are ready"
else
    echo "== The picture folder and the icons, drawn by the Linux build"
    cmake --preset default "${launcher[@]}" >/dev/null
    lcj_timed "Linux picture generator" cmake --build build -j "$(nproc)" --target lcjpicgen lcjicongen lcjsamplegen
fi

echo "== Cross-compiling for Windows"
cmake --preset windows "${launcher[@]}" >/dev/null
targets=(--target lcjworkshop lcjtool lcjpic lcjscreenshots lcj_windows_runtime)
[ "$run_tests" = 1 ] && targets=()
lcj_timed "Windows build" cmake --build build-windows -j "$(nproc)" "${targets[@]}"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)
name=lcjworkshop-$version-win64
stage=dist/$name
echo "== $stage.zip"
rm -rf "$stage" "$stage.zip"
mkdir -p "$stage"
bin=build-windows/bin
cp "$bin/lcjworkshop.exe" "$bin/lcjtool.exe" "$stage/"
cp "$bin"/Qt6Core.dll "$bin"/Qt6Gui.dll "$bin"/Qt6Network.dll "$bin"/Qt6Widgets.dll "$stage/"
cp "$bin"/libstdc++-6.dll "$bin"/libgcc_s_seh-1.dll "$bin"/libwinpthread-1.dll "$stage/"
for folder in platforms imageformats styles; do
    [ -d "$bin/$folder" ] && cp -r "$bin/$folder" "$stage/"
done
# Qt's own Chinese texts for the standard dialogs ("打开", "取消", "是").
[ -f "$bin/translations/qtbase_zh_CN.qm" ] || { echo "$bin/translations/qtbase_zh_CN.qm missing" >&2; exit 1; }
mkdir -p "$stage/translations"
cp "$bin/translations/qtbase_zh_CN.qm" "$stage/translations/"
cp -r "$bin/lcjpic" "$stage/" && rm -f "$stage/lcjpic/.stamp"
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll
# Their icons (index 0 the program, 1 a mod patch) and version texts, shown.
scripts/exe-resources.py "$stage/lcjworkshop.exe" --icons 2
scripts/exe-resources.py "$stage/lcjtool.exe" --icons 1
sed 's/$/\r/' packaging/windows-readme.txt | sed "s/@VERSION@/$version/" > "$stage/使用说明.txt"
scripts/windows-deps.sh "$stage"
scripts/zipdir.py "dist/$name.zip" "$stage"
printf 'Wrote dist/%s.zip (%s)\n' "$name" "$(du -h "dist/$name.zip" | cut -f1)"
setup=dist/lcjworkshop-$version-setup.exe
echo "== $setup"
lcj_timed "Setup program" scripts/windows-setup.sh "$stage" "$version" "$setup"

if [ "$run_tests" = 1 ]; then
    echo "== Tests under Wine"
    status=0
    scripts/windows-tests.sh build-windows || status=1
    echo "== The setup program under Wine"
    scripts/windows-setup-test.sh "$setup" || status=1
    [ "$status" = 0 ] || exit 1
fi
if [ "$start_check" = 1 ]; then
    echo "== Starting the zipped program under Wine"
    scripts/windows-start.sh "dist/$name.zip"
fi
if [ "$pictures" = 1 ]; then
    echo "== Pictures of the setup program and the file type"
    scripts/windows-setup-pictures.sh "$setup" docs/images/windows
    echo "== Every window at 96, 120 and 144 dpi under Wine"
    scripts/windows-dpi.sh "dist/$name.zip"
    # The README's windows at 150 %.
    for window in dataedit sedit saveedit; do
        cp "build-windows/screenshots-144/$window.png" "docs/images/windows/$window-150.png"
    done
fi
end=$(date +%s)
printf 'package-windows.sh: %dm%02ds in all\n' $(((end - all_start) / 60)) $(((end - all_start) % 60))
