#!/usr/bin/env bash
# Runs a program of the Windows build under Wine, in the Wine prefix kept in
# the cache (created on first use). The "windows" preset makes this the tests'
# emulator, so ctest in build-windows runs every test here.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/windows-env.sh"
export WINEPREFIX=${WINEPREFIX:-$lcj_cache/wine}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts: the programs need neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
loader=/usr/lib/wine/wine64
[ -x "$loader" ] || loader=$(command -v wine64 || command -v wine)
exec "$loader" "$@"
