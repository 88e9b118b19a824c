#!/usr/bin/env bash
# Builds and runs the benchmarks: tools/bench.sh [native] [benchmark options...]
# The native ones time the core optimised and without sanitizers, in a tree of their
# own (build/bench), and report the median and spread of five repetitions.
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:-native}
[ $# -gt 0 ] && shift
case "$what" in
native)
    cmake -S . -B build/bench -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
          -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build/bench --target core_bench -j2
    build/bench/bench/core_bench --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true "$@"
    ;;
*)
    echo "usage: $0 [native] [benchmark options...]" >&2
    exit 2
    ;;
esac
