#!/usr/bin/env bash
# Builds the release of the current commit twice, each in a clean clone of its own
# under a different path, and checks that kalvora98.exe and the zip come out byte for
# byte the same. Uncommitted changes are not part of it.
set -euo pipefail
cd "$(dirname "$0")/.."
commit=$(git rev-parse HEAD)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for clone in first second-clone; do
    git clone -q --no-checkout "$PWD" "$work/$clone"
    git -C "$work/$clone" checkout -q "$commit"
    zip=$("$work/$clone/tools/release.sh" | tail -n1)
    sha256sum "$work/$clone/build/win/kalvora98.exe" "$work/$clone/$zip" |
        sed "s|$work/||"
done
failures=0
cmp "$work/first/build/win/kalvora98.exe" "$work/second-clone/build/win/kalvora98.exe" ||
    failures=1
cmp "$work/first/$zip" "$work/second-clone/$zip" || failures=1
[ $failures -eq 0 ] && echo "reproducible release: 1 passed, 0 failed" ||
    echo "reproducible release: 0 passed, 1 failed"
exit $failures
