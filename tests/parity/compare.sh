#!/usr/bin/env bash
# Runs the parity series on the native build and, under Wine, on the Windows build, and
# fails on the first design whose results differ in any bit.
#   compare.sh NATIVE_PARITY WINDOWS_PARITY_EXE DESIGNS
set -euo pipefail
native=$1 windows=$2 designs=$3 block=10000
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The Windows half is the slow one (here its loader may even run under qemu): two
# processes share it, one for each core.
start=$(date +%s)
half=$((designs / block / 2 * block))
wine "$windows" digest 0 $half $block >"$work/windows-1" &
first_half=$!
wine "$windows" digest $half $((designs - half)) $block >"$work/windows-2"
wait $first_half
"$native" digest 0 "$designs" $block >"$work/native"
cat "$work/windows-1" "$work/windows-2" | tr -d '\r' >"$work/windows"
seconds=$(($(date +%s) - start))

if cmp -s "$work/native" "$work/windows" && [ -s "$work/native" ]; then
    echo "parity: $designs designs, 0 differences, ${seconds} s"
    exit 0
fi
first=$(diff "$work/native" "$work/windows" | sed -n 's/^< \([0-9]*\) .*/\1/p' | head -n1 || true)
if [ -z "$first" ]; then
    echo "parity: the Windows build gave no complete series"
    exit 1
fi
"$native" dump $((first * block)) $block >"$work/native-dump"
wine "$windows" dump $((first * block)) $block | tr -d '\r' >"$work/windows-dump"
grep '^results' "$work/native-dump" >"$work/native-results"
grep '^results' "$work/windows-dump" >"$work/windows-results"
line=$(cmp "$work/native-results" "$work/windows-results" | sed -n 's/.* line \([0-9]*\).*/\1/p' || true)
design=$(sed -n "${line}p" "$work/native-results" | sed 's/^results \([0-9]*\):.*/\1/')
echo "parity: designs differ, the first is design $design"
grep "^inputs $design:" "$work/native-dump"
# One result a line, so that the differing ones stand out.
diff <(sed -n "${line}p" "$work/native-results" | tr ' ' '\n') \
     <(sed -n "${line}p" "$work/windows-results" | tr ' ' '\n') |
    sed 's/^</native: /; s/^>/windows:/' | grep -E '^(native|windows)' | head -n 20 || true
exit 1
