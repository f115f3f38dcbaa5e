#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once in the normal
# build, once under AddressSanitizer and UndefinedBehaviorSanitizer. Both
# builds treat the project's warnings as errors.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
lcj_install
export QT_QPA_PLATFORM=offscreen
lcj_build default -DLCJ_WERROR=ON
ctest --preset default -j "$(nproc)"
if [ "${LCJ_SKIP_SANITIZERS:-0}" != 1 ]; then
    lcj_build asan -DLCJ_WERROR=ON
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --preset asan -j "$(nproc)"
fi
