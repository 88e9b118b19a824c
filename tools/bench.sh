#!/usr/bin/env bash
# Builds and runs the benchmarks: tools/bench.sh [native] [benchmark options...], or
# tools/bench.sh import|report for the times of spktool's imports and report pages
# (bench/import-bench.sh, bench/report-bench.sh).
# The native ones time the core optimised and without sanitizers, in a tree of their
# own (build/bench), and report the median and spread of five repetitions. spktool is
# built there optimised and without sanitizers too, as users run it.
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:-native}
[ $# -gt 0 ] && shift

configure() {
    cmake -S . -B build/bench -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
          -DCMAKE_BUILD_TYPE=Release -DKALVORA_SANITIZE=OFF >/dev/null
}

case "$what" in
native)
    configure
    cmake --build build/bench --target core_bench -j2
    build/bench/bench/core_bench --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true "$@"
    ;;
import|report)
    configure
    cmake --build build/bench --target spktool -j2
    "bench/$what-bench.sh" build/bench/spktool/spktool
    ;;
*)
    echo "usage: $0 [native|import|report] [benchmark options...]" >&2
    exit 2
    ;;
esac
