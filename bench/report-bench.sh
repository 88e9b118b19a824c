#!/usr/bin/env bash
# Times spktool report: the page of one driver with a full driver sheet, and of 100 such
# drivers (each its own model name and Vas). Not a test: it prints the best and the
# median of several runs for a person to compare, and the start of spktool alone.
#   bench/report-bench.sh [SPKTOOL]   (default: build/native/spktool/spktool)
#   RUNS=15 DRIVERS=100 bench/report-bench.sh ...
set -euo pipefail
tool=$(realpath "${1:-build/native/spktool/spktool}")
runs=${RUNS:-9}
drivers=${DRIVERS:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$tool" new d.spk qts=0.38 vas=45 fs=32 ported.volume=42 ported.fb=32.1 sealed.volume=13 \
    sealed.fb=59.5 re=5.6 qes=0.42 qms=4 sd=220 xmax=5 pe=60 >/dev/null
for i in $(seq -w 1 "$drivers"); do
    cp d.spk "w$i.spk"
    cp d.txt "w$i.txt"
    "$tool" set "w$i.spk" "model=W$i" "vas=$((36 + 10#$i % 19))" >/dev/null
done

# Wall time of each run in microseconds, one a line. The page is removed between runs,
# outside the timing, so every run writes a new page, as a first report does.
time_runs() {  # COMMAND...
    local i start end
    for ((i = 0; i < runs; i++)); do
        rm -f page.htm
        start=$EPOCHREALTIME
        "$@" >/dev/null
        end=$EPOCHREALTIME
        echo $(( (${end/./} - ${start/./}) ))
    done
}

report() {  # NAME COMMAND...
    local name=$1
    shift
    local sorted
    sorted=$(time_runs "$@" | sort -n)
    local best median
    best=$(head -n1 <<<"$sorted")
    median=$(sed -n "$(( (runs + 1) / 2 ))p" <<<"$sorted")
    printf '%-28s best %8.1f ms, median %8.1f ms (%d runs)\n' "$name" \
        "$(bc <<<"scale=1; $best / 1000")" "$(bc <<<"scale=1; $median / 1000")" "$runs"
}

report "spktool --version" "$tool" --version
report "report, 1 driver" "$tool" report d.spk -o page.htm
report "report, $drivers drivers" "$tool" report w*.spk -o page.htm
"$tool" report w*.spk -o page.htm --force >/dev/null
printf '%-28s %d bytes\n' "page of $drivers drivers" "$(stat -c %s page.htm)"
