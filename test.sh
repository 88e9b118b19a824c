#!/usr/bin/env bash
# Installs what is missing, builds both halves and runs every test: the core natively
# under the sanitizers, the windows under Wine in a virtual display.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
./tools/build.sh all

source tools/wine-env.sh
trap stop_all EXIT
start_display
start_wine

status=0
# The native tests keep to their own folders, so both cores can take them; the Wine ones
# share one display and one wineserver, one at a time.
ctest --test-dir build/native -j2 --output-on-failure || status=1
ctest --test-dir build/win --output-on-failure || status=1
# Two clean clones of this commit must give the same exe and package, byte for byte.
tools/check-reproducible.sh || status=1
exit $status
