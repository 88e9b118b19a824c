#!/usr/bin/env bash
# Runs the tables with the native spktool and compares the transcript, byte for byte,
# with the one spktool.exe gave under Wine.
#   parity.sh NATIVE_SPKTOOL WINDOWS_TRANSCRIPT TABLE...
set -euo pipefail
native=$1 windows=$2
shift 2
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$here/run-cases.sh" print "$work/native.txt" "$native" "$@"
lines=$(grep -c '^\$ ' "$work/native.txt")
if [ -s "$windows" ] && cmp -s "$work/native.txt" "$windows"; then
    echo "spktool parity: $lines command lines, the same bytes on both builds"
    echo "spktool parity: 1 passed, 0 failed"
    exit 0
fi
diff -u --label native --label windows "$work/native.txt" "$windows" | head -n 60 || true
echo "spktool parity: 0 passed, 1 failed"
exit 1
