#!/usr/bin/env bash
# Compares the transcript of the tables under the native spktool, byte for byte, with the
# one spktool.exe gave under Wine.
#   parity.sh NATIVE_SPKTOOL NATIVE_TRANSCRIPT WINDOWS_TRANSCRIPT TABLE...
# The native build's own table test leaves its transcript behind; it is taken when it is
# newer than the native spktool and every table, since the sanitized native build takes
# minutes over the tables. Otherwise the tables are run here.
set -euo pipefail
native=$1 native_transcript=$2 windows=$3
shift 3
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -s "$native_transcript" ] && [ -z "$(find "$native" "$@" -newer "$native_transcript")" ]; then
    cp "$native_transcript" "$work/native.txt"
else
    "$here/run-cases.sh" print "$work/native.txt" "$native" "$@"
fi
lines=$(grep -c '^\$ ' "$work/native.txt")
if [ -s "$windows" ] && cmp -s "$work/native.txt" "$windows"; then
    echo "spktool parity: $lines command lines, the same bytes on both builds"
    echo "spktool parity: 1 passed, 0 failed"
    exit 0
fi
diff -u --label native --label windows "$work/native.txt" "$windows" | head -n 60 || true
echo "spktool parity: 0 passed, 1 failed"
exit 1
