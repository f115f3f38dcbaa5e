#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
lcj_install
lcj_build default
export QT_QPA_PLATFORM=offscreen
ctest --preset default -j "$(nproc)"
