#!/usr/bin/env bash
# Runs spktool over tables of command lines and writes what happened in the tables' own
# format: "$ ARGS" the command, "| " each line of standard output (long ones cut to their
# first 12 lines and a hash of all), "! " each line of standard error, "? N" a non-zero
# exit status, "+ FILE SIZE HASH" each file the command wrote and "- FILE"
# each it removed; "% SHELL" lines make the files a case needs, or look at them, with
# what they print as "= " lines. A table passes when this
# transcript is the table itself; both builds must give the same bytes. Printed lines
# end in CR LF from spktool.exe and in LF natively: each build's own line end is read
# as the end of a line, and a line ending in the other one is marked.
#   run-cases.sh check|print OUT_TRANSCRIPT SPKTOOL [wine] TABLE...
# SPKTOOL is the native executable or, with "wine", spktool.exe run under Wine.
set -euo pipefail
export LC_ALL=C
mode=$1 transcript=$(realpath -m "$2") tool=$(realpath "$3")
shift 3
runner=()
# Wine passes arguments and file names through the Unix locale's encoding: UTF-8.
if [ "${1:-}" = wine ]; then runner=(env LC_ALL=C.UTF-8 wine); shift; fi
if [ ${#runner[@]} -gt 0 ]; then
    own_line_ends='s/\r\n\z/\n/ or s/\n\z/ <not this build\x27s line end>\n/'
else
    own_line_ends='s/\r\n\z/ <not this build\x27s line end>\n/'
fi
# Windows always has a program for .htm pages; the test prefix, without Wine's browser
# parts, has none. A command that does nothing stands in for the browser that a dropped
# file's page opens in.
if [ ${#runner[@]} -gt 0 ]; then
    wine reg add 'HKCR\.htm' /ve /d kalvora.test.page /f >/dev/null
    wine reg add 'HKCR\kalvora.test.page\shell\open\command' /ve /d 'cmd.exe /c rem "%1"' /f \
        >/dev/null
fi
tables=()
for table in "$@"; do tables+=("$(realpath "$table")"); done
data=$(cd "$(dirname "$0")/data" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each table starts in a fresh folder with the files of data/ and three damaged speaker
# files: short, a model without its NUL, a Qts that is not a number.
fresh_folder() {
    rm -rf "$work/folder"
    mkdir "$work/folder"
    cp -r "$data/." "$work/folder/"
    cd "$work/folder"
    head -c 100 /dev/zero >short.spk
    head -c 164 /dev/zero | tr '\0' A >nonul.spk
    perl -e 'print pack("a50 d< a106", "Broken", "NaN")' >nan.spk
}

# "FILE SIZE HASH" for every file, sorted by name.
# One process for the whole folder: three for each file made the snapshots most of a
# table's time once folders held dozens of files.
snapshot() {
    python3 -c '
import hashlib, os, sys
files = []
for root, dirs, names in os.walk(b"."):
    paths = [os.path.join(root, n) for n in names if not n.startswith(b".")]
    files += [p[2:] for p in paths if os.path.isfile(p) and not os.path.islink(p)]
for f in sorted(files):
    with open(f, "rb") as stream:
        data = stream.read()
    sys.stdout.buffer.write(b"%s %d %s\n" % (f, len(data), hashlib.sha256(data).hexdigest()[:16].encode()))
'
}
hash() { sha256sum | cut -c1-16; }

run_table() {
    local line args status before after
    while IFS= read -r line || [ -n "$line" ]; do
        case $line in
        '$ '*)
            printf '%s\n' "$line"
            eval "args=(${line#\$ })"
            before=$(snapshot)
            status=0
            "${runner[@]}" "$tool" "${args[@]}" >"$work/.out" 2>"$work/.err" || status=$?
            after=$(snapshot)
            perl -i -pe "$own_line_ends" "$work/.out" "$work/.err"
            if [ "$(wc -l <"$work/.out")" -gt 14 ]; then
                head -n 12 "$work/.out" | sed 's/^/| /'
                echo "| ... $(wc -l <"$work/.out") lines, sha256 $(hash <"$work/.out")"
            else
                sed 's/^/| /' "$work/.out"
            fi
            sed 's/^/! /' "$work/.err"
            [ "$status" -eq 0 ] || echo "? $status"
            comm -13 <(echo "$before") <(echo "$after") | sed 's/^/+ /'
            comm -23 <(echo "$before" | sed 's/ [0-9]* [0-9a-f]*$//') \
                <(echo "$after" | sed 's/ [0-9]* [0-9a-f]*$//') | sed 's/^/- /' 
            ;;
        '% '*)
            printf '%s\n' "$line"
            bash -c "${line#% }" 2>&1 | sed 's/^/= /'
            ;;
        '#'* | '') printf '%s\n' "$line" ;;
        esac
    done <"$1"
}

failures=0
: >"$transcript"
for table in "${tables[@]}"; do
    fresh_folder
    run_table "$table" >"$work/.transcript"
    cat "$work/.transcript" >>"$transcript"
    if [ "$mode" = check ]; then
        if diff -u "$table" "$work/.transcript" >"$work/.diff"; then
            echo "$(basename "$table"): $(grep -c '^\$ ' "$table") command lines as expected"
        else
            echo "$(basename "$table"): differs from what spktool did:"
            cat "$work/.diff"
            failures=$((failures + 1))
        fi
    fi
done
[ "$mode" = check ] || exit 0
[ $failures -eq 0 ] && echo "spktool cases: 1 passed, 0 failed" || echo "spktool cases: 0 passed, 1 failed"
exit $failures
