#!/usr/bin/env bash
# Makes the release package from the build the tests ran and checks it: its file list,
# that its exe is that build's, its check sums and CRLF text, that help.htm shows every
# picture shipped beside it and no other, that help.txt carries no bracket markup, and,
# in the program's own code under Wine, that each sample driver opens with the values of
# its row and texts that fit their fields, and that the help names every button of the
# main window. Usage: check-package.sh BUILD GUI_TESTS_EXE
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "$1")
gui_tests=$(realpath "$2")
zip=$root/$("$root/tools/release.sh" "$build" | tail -n1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

samples=$(awk -F'|' '!/^[[:space:]]*(#|$)/ { gsub(/ /, "", $1); print "samples/" $1 }' \
              "$root/release/samples.txt")
pictures=$(cd "$root/release" && ls help-*.png)
sheets=$(cd "$root/release" && ls samples/*.txt)
expected=$(printf '%s\n' LICENSE README.txt SHA256SUMS help.htm help.txt kalvora98.exe \
               spktool.exe $pictures $samples $sheets | LC_ALL=C sort)
listed=$(cd "$work" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$listed" = "$expected" ] || fail "the package holds: $(echo $listed)"
cmp -s "$work/kalvora98.exe" "$build/kalvora98.exe" || fail "kalvora98.exe is not the tested one"
cmp -s "$work/spktool.exe" "$build/spktool.exe" || fail "spktool.exe is not the tested one"
(cd "$work" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match"
shown=$(grep -o '<img src="[^"]*"' "$work/help.htm" | sed 's/^<img src="//; s/"$//' | LC_ALL=C sort -u)
[ "$shown" = "$(LC_ALL=C sort <<<"$pictures")" ] || fail "help.htm shows: $(echo $shown)"
# w3m writes a subscript as f[s] and a picture without its text as [name].
! grep -n '[][]' "$work/help.txt" || fail "help.txt has bracket markup"
for text in help.txt README.txt LICENSE; do
    [ "$(grep -c $'\r$' "$work/$text")" = "$(wc -l <"$work/$text")" ] ||
        fail "$text has lines without CRLF"
done

# The samples' sheets must hold together with their drivers: spktool warns of nothing.
warned=$(cd "$work/samples" && wine "$work/spktool.exe" show $(cd "$work/samples" && ls *.spk) |
             grep -c 'warning' || true)
[ "$warned" = 0 ] || fail "spktool warns $warned times about the samples' sheets"
[ "$(cd "$work/samples" && wine "$work/spktool.exe" show example-8in-woofer.spk |
     grep -c '^  xmax ')" = 1 ] || fail "spktool does not read the samples' sheets"

log=$work/package-tests.log
KALVORA_PACKAGE="Z:$work" KALVORA_SAMPLES="Z:$root/release/samples.txt" \
    wine "$gui_tests" --gtest_filter='PackageTest.*' >"$log" 2>&1 || true
grep -E 'Failure|Expected|Which is|  Actual|FAILED|SKIPPED' "$log" || true
grep -q '^\[  PASSED  \] 2 tests\.' "$log" || fail "the sample and help checks did not all pass"

echo "package: $(basename "$zip"), $(wc -l <<<"$listed") files"
[ $failures -eq 0 ] && echo "package check: 1 passed, 0 failed" || echo "package check: 0 passed, 1 failed"
exit $failures
