#!/usr/bin/env bash
# What the tables cannot say, natively: two sets at once, FIFOs, symlinks, devices, a
# full disk, a file name that is not UTF-8 and a command killed while it writes.
#   hostile-native.sh SPKTOOL
set -uo pipefail
tool=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
"$tool" new w.spk qts=0.4 fs=30 vas=50 ported.volume=40 ported.fb=35

# Two sets at once, each of a field of its own: a lost change without the lock.
for round in $(seq 30); do
    "$tool" set w.spk model=A$round & "$tool" set w.spk info=B$round & wait
    shown=$("$tool" show w.spk --csv | tail -n 1)
    [[ $shown == *,A$round,B$round,* ]] || fail "round $round lost a change: $shown"
done

# A set and an import --force of one driver at once: each changes the speaker file and
# its sheet as one, so the pair is all the set's (Qts 0.5 and a Pe) or all the import's.
printf 'Model,Qts,Fs,Vas,Xmax\nR,0.3,30,50,5\n' >r.csv && "$tool" import r.csv --out . >/dev/null
for round in $(seq 10); do
    "$tool" set R.spk qts=0.5 pe=$round & "$tool" import r.csv --out . --force >/dev/null & wait
    pair=$("$tool" show R.spk --csv | tail -n 1 | cut -d, -f4),$(sed -n 's/^pe = \([0-9]*\).*/\1/p' R.txt)
    [[ $pair == 0.3, || $pair == 0.5,$round ]] || fail "round $round mixed the pair: $pair"
done

# Two drops of one file at once: both succeed, and leave one whole page of spktool's.
for round in $(seq 10); do
    rm -f w.htm
    "$tool" w.spk >/dev/null & first=$!
    "$tool" w.spk >/dev/null & second=$!
    wait $first && wait $second && [ "$(ls w*.htm)" = w.htm ] && tail -n 1 w.htm | grep -q '</html>' ||
        fail "round $round of two drops: $(ls w*.htm)"
done

# CSV for Excel: a byte order mark, CR LF, and with a decimal comma ';' between values
# and a text holding ';' quoted. (The tables cannot hold it: their line ends are each
# build's own.)
"$tool" set w.spk 'info=a;b' && "$tool" show w.spk --csv --excel --decimal-comma >excel.csv
[ "$(head -c 3 excel.csv | od -An -tx1 | tr -d ' ')" = efbbbf ] && [ "$(grep -c $'\r$' excel.csv)" = 2 ] &&
    tail -n 1 excel.csv | grep -q '^w.spk;A[0-9]*;"a;b";0,4;30;50;' || fail "CSV for Excel: $(cat -A excel.csv)"

# Progress for more than 1,000 drivers, on a terminal only (script gives one).
python3 -c "print('Model,Qts,Fs,Vas\n' + ''.join('P%d,0.3,30,100\n' % i for i in range(1001)), end='')" >many.csv
mkdir many && shown=$(script -qec "'$tool' import many.csv --out many >/dev/null" /dev/null)
[[ $shown == $'\r0 of 1001 drivers written\r'*$'\r991 of 1001 drivers written\r'*' '$'\r' ]] ||
    fail "no progress on a terminal, or not cleared: $shown"
[ -z "$("$tool" import many.csv --out many --force 2>&1 >/dev/null)" ] || fail "progress on a pipe"

# A FIFO would block a read for ever; timeout turns that into a failure.
mkfifo pipe.spk && mkdir folder && mkfifo folder/x.json
out=$(timeout 10 "$tool" show pipe.spk 2>&1)
[ $? -eq 1 ] && [ "$out" = "spktool: pipe.spk: cannot be read: is a FIFO, not a file" ] ||
    fail "show of a FIFO: $out"
out=$(timeout 10 "$tool" import folder --out . 2>&1)
[ $? -eq 1 ] && [[ $out == *"folder/x.json: cannot be read: is a FIFO, not a file"* ]] ||
    fail "import of a FIFO: $out"
timeout 10 "$tool" set pipe.spk qts=1 2>/dev/null
[ $? -eq 1 ] || fail "set of a FIFO"

# A symlink stays a link, and the file it leads to changes.
ln -s w.spk link.spk
"$tool" set link.spk qts=0.5 && [ -L link.spk ] && "$tool" show w.spk | grep -q 'qts *0.50' ||
    fail "set through a symlink"
"$tool" new link.spk qts=0.6 fs=30 vas=50 ported.volume=40 ported.fb=35 --force && [ -L link.spk ] && "$tool" show w.spk | grep -q 'qts *0.60' ||
    fail "new --force through a symlink"

# A device is never replaced, not even by root with --force.
out=$("$tool" chart w.spk:ported -o /dev/null --force 2>&1)
[ $? -eq 1 ] && [ -c /dev/null ] && [ "$out" = "spktool: /dev/null: cannot be written: is a device, not a file" ] ||
    fail "chart onto /dev/null: $out"

# Output lost to a full disk is a failure.
if [ -w /dev/full ]; then
    for args in "show w.spk" "--help" "port --help"; do
        out=$("$tool" $args 2>&1 >/dev/full)
        [ $? -eq 1 ] && [ "$out" = "spktool: standard output: cannot be written: no space left on device" ] ||
            fail "$args to /dev/full: $out"
    done
fi

# JSON must be UTF-8 whatever the file name holds.
cp w.spk "$(printf 'bad\xff.spk')"
out=$("$tool" show --json "$(printf 'bad\xff.spk')" 2>&1)
[ $? -eq 0 ] && [[ $out == *'"file": "bad'$'\xef\xbf\xbd''.spk"'* ]] || fail "JSON of a non-UTF-8 name: $out"

# A command ended from outside while its file is staged takes its temporary file with it,
# and the signal still ends it. The test hook holds each staged file for ten seconds.
for command in "chart w.spk:ported -o killed.svg" "report w.spk -o killed.htm"; do
    out=${command##* }
    SPKTOOL_TEST_STALL_STAGED=1 "$tool" $command 2>/dev/null &
    pid=$!
    for try in $(seq 100); do
        [ -n "$(find . -name ".$out.??????")" ] && break
        sleep 0.1
    done
    kill -TERM $pid
    wait $pid
    status=$?
    [ $status -eq 143 ] && [ ! -e "$out" ] && [ -z "$(find . -name '.*.??????')" ] ||
        fail "${command%% *} ended while staging: status $status, left $(find . -name '.*')"
done

# The mode of a replaced file is kept; no temporary file is left.
chmod 640 w.spk && "$tool" set w.spk qts=0.3 && [ "$(stat -c %a w.spk)" = 640 ] || fail "mode lost"
[ -z "$(find . -name '.*.??????')" ] || fail "temporary files left: $(find . -name '.*.??????')"

[ $failures -eq 0 ] && echo "spktool hostile: 1 passed, 0 failed" || echo "spktool hostile: 0 passed, 1 failed"
exit $failures
