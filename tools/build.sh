#!/usr/bin/env bash
# Builds both halves: the native core with its sanitizer tests, and the Windows program.
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:-all}
jobs=$(nproc)
if [ "$what" = all ] || [ "$what" = native ]; then
    cmake -S . -B build/native -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
          -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build build/native -j"$jobs"
fi
if [ "$what" = all ] || [ "$what" = win ]; then
    # The parity check compares the Windows build with the native one, when it exists.
    native_parity=""
    [ -x build/native/tests/parity/parity ] && native_parity=$PWD/build/native/tests/parity/parity
    native_spktool=""
    [ -x build/native/spktool/spktool ] && native_spktool=$PWD/build/native/spktool/spktool
    cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
          -DCMAKE_BUILD_TYPE=Release -DKALVORA_NATIVE_PARITY="$native_parity" \
          -DKALVORA_NATIVE_SPKTOOL="$native_spktool" >/dev/null
    cmake --build build/win -j"$jobs"
fi
