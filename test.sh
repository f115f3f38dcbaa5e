#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once in the normal
# build, once under AddressSanitizer and UndefinedBehaviorSanitizer. Both
# builds treat the project's warnings as errors. Prints how long each step took.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
lcj_install
export QT_QPA_PLATFORM=offscreen

times=()
# timed LABEL COMMAND...: runs it and notes its time for the summary.
timed() {
    local label=$1 start=$SECONDS
    shift
    "$@"
    times+=("$(printf '%-36s %3dm%02ds' "$label" $(((SECONDS - start) / 60)) $(((SECONDS - start) % 60)))")
}
summary() {
    echo "== ./test.sh step times"
    printf '%s\n' "${times[@]}"
}
trap summary EXIT

timed "Build (default)" lcj_build default -DLCJ_WERROR=ON
timed "Tests (default)" ctest --preset default -j "$(nproc)"
if [ "${LCJ_SKIP_SANITIZERS:-0}" != 1 ]; then
    timed "Build (asan)" lcj_build asan -DLCJ_WERROR=ON
    # The leak check does not follow the thread-local blocks of libraries
    # loaded at run time (Qt's image plugins): GCC 12's LeakSanitizer misreads
    # them on this glibc and crashes at exit. Leaving them out can only add
    # reports, never hide one.
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0 \
        UBSAN_OPTIONS=print_stacktrace=1 \
        timed "Tests (asan)" ctest --preset asan -j "$(nproc)"
fi
