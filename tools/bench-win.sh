#!/usr/bin/env bash
# Builds the program and the Windows benchmark and runs the benchmark under Wine in a
# virtual display: tools/bench-win.sh [runs]. WIN_BUILD names another build tree than
# build/win, for a developer who keeps one of their own.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${WIN_BUILD:-build/win}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target kalvora98 win_bench -j2 >/dev/null

WINE_ROOT=$(realpath "$build")
source tools/wine-env.sh
trap stop_all EXIT
start_display
start_wine

size=$(stat -c %s "$build/kalvora98.exe")
echo "kalvora98.exe: $size bytes ($((size / 1024)) KiB; goal under 1 MiB)"
wine "$build/bench/win/win_bench.exe" "$@"
