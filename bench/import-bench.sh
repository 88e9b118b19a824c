#!/usr/bin/env bash
# Times spktool imports whose cost once grew with the square of the input: rows of one
# model name and of distinct names, and qspeakers XML of distinct speakers (each
# element's line number), and a 40 MB table of empty rows, whose memory should stay
# near its size. Not a test: it prints seconds and peak memory for a person to compare.
#   bench/import-bench.sh [SPKTOOL]   (default: build/native/spktool/spktool)
set -euo pipefail
tool=$(realpath "${1:-build/native/spktool/spktool}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

time_import() {  # NAME SOURCE
    rm -rf out && mkdir out
    /usr/bin/time -o used -f '%e %M' "$tool" import "$2" --out out >/dev/null 2>&1 || true
    read -r seconds kilobytes < <(tail -n 1 used)  # after any "exited with" line
    printf '%-34s %7.2f s, %4d MB, %s files\n' "$1" "$seconds" $((kilobytes / 1024)) "$(ls out | wc -l)"
}

for rows in ${ROWS:-10000 100000}; do
    python3 -c "print('Model,Qts,Fs,Vas\n' + 'W,0.3,30,100\n' * $rows, end='')" >same.csv
    python3 -c "print('Model,Qts,Fs,Vas\n' + ''.join('W%d,0.3,30,100\n' % i for i in range($rows)), end='')" >distinct.csv
    time_import "CSV, $rows rows, one name" same.csv
    time_import "CSV, $rows rows, distinct names" distinct.csv
done
python3 -c "print('<speakers>\n' + ''.join('<speaker vendor=\"V\" model=\"M%d\" qts=\"0.3\" fs=\"30\" vas=\"100\"/>\n' % i for i in range(40000)) + '</speakers>')" >db.xml
time_import "XML, 40000 speakers" db.xml
python3 -c "print('Model,Qts,Fs,Vas\n' + ',,,\n' * (10 << 20), end='')" >empty.csv
time_import "CSV, 40 MB of empty rows" empty.csv
