#!/usr/bin/env bash
# Reads the import table and PE header of the built exe: every import must be on the
# allow-list and no newer than its floor, or the exe would not start on that Windows;
# subsystem and OS version must be 4.0, which every Windows from 95 and NT 4 accepts,
# unless the allow-list names others.
set -euo pipefail
exe=$1
allowed=$2
dump=$(i686-w64-mingw32-objdump -p "$exe")

header() { awk -v key="$1" '$1 == key { print $2; exit }' <<<"$dump"; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The list may name another subsystem ("# subsystem 3", a console program) and version
# ("# version 5 1", Windows XP); the program's are the defaults.
subsystem=$(awk '$1 == "#" && $2 == "subsystem" { print $3 }' "$allowed")
read -r major minor < <(awk '$1 == "#" && $2 == "version" { print $3, $4 }' "$allowed") || true
subsystem=${subsystem:-2} major=${major:-4} minor=${minor:-0}
[ "$(header Subsystem)" = "0000000$subsystem" ] ||
    fail "subsystem is $(header Subsystem), not $subsystem"
for key in MajorSubsystemVersion MajorOSystemVersion; do
    [ "$(header $key)" = "$major" ] || fail "$key is $(header $key), not $major"
done
for key in MinorSubsystemVersion MinorOSystemVersion; do
    [ "$(header $key)" = "$minor" ] || fail "$key is $(header $key), not $minor"
done

# "DLL function" for each import; one imported by number shows as "<none>".
imports=$(awk '/DLL Name:/ { dll = toupper($3); next }
               dll && /^\t[0-9a-f]+\t +[0-9]+  [^ ]+$/ { print dll, $3 }' <<<"$dump")
[ -n "$imports" ] || fail "no imports found: objdump's format changed?"

floor=$(awk '$1 == "#" && $2 == "floor" { print $3 }' "$allowed")
rank() {
    local order=(95 98 98SE ME 2000 XP Vista 7 8 10 11) i
    for i in "${!order[@]}"; do [ "${order[$i]}" = "$1" ] && { echo "$i"; return; }; done
    echo 99
}
while read -r dll name; do
    since=$(awk -v d="$dll" -v n="$name" '$1 == d && $2 == n { print $3; exit }' "$allowed")
    if [ -z "$since" ]; then
        fail "$dll $name is imported but not on the allow-list"
    elif [ "$(rank "$since")" -gt "$(rank "$floor")" ]; then
        fail "$dll $name needs Windows $since, newer than $floor"
    fi
done <<<"$imports"

# Entries the exe no longer needs are only reported: the list should stay exact.
stale=$(awk '!/^#/ && NF { print $1, $2 }' "$allowed" | grep -vxF -f <(echo "$imports") || true)
[ -z "$stale" ] || echo "on the list but not imported (remove them):" $stale
count=$(wc -l <<<"$imports")
echo "$exe: $count imports from $(awk '{print $1}' <<<"$imports" | sort -u | tr '\n' ' ')"
[ $failures -eq 0 ] && echo "exe check: 1 passed, 0 failed" || echo "exe check: 0 passed, 1 failed"
exit $failures
