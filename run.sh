#!/usr/bin/env bash
# Installs what is missing, builds, writes the sample game beside the program
# and starts it.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
lcj_install
lcj_build default
./build/bin/lcjsamplegen build/bin
exec ./build/bin/lcjworkshop "$@"
