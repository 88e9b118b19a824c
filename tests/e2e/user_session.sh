#!/usr/bin/env bash
# Uses the real kalvora98.exe as a person would: types a driver, chooses a ported box,
# lets Optimize propose one, draws it, and leaves with Exit. Then checks the bytes of
# the default.spk that the program left behind. Needs DISPLAY with a window manager.
# A second argument (win98, winxp, win10) is the Windows version Wine reports to the
# program for this run; the prefix goes back to its default afterwards.
set -euo pipefail
exe=$(realpath "$1")
windows=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/xdrive.sh"

work=$(mktemp -d)
program=""
finish() {
    [ -n "$program" ] && kill $program 2>/dev/null || true
    rm -rf "$work"
    [ -z "$windows" ] || wine reg delete 'HKCU\Software\Wine' /v Version /f >/dev/null 2>&1 || true
}
trap finish EXIT
cd "$work"
if [ -n "$windows" ]; then
    wine reg add 'HKCU\Software\Wine' /v Version /d "$windows" /f >/dev/null
    echo "as $windows: $(wine cmd /c ver | tr -d '\r' | grep -m1 .)"
fi
start_program "$exe"
type_driver "E2E woofer" 0.35 100 30 "typed by xdotool"
click "$main" $PORTED_BUTTON
click "$main" $OPTIMIZE_BUTTON
click "$main" $OPEN_GRAPH_BUTTON
graph=$(wait_window "^Frequency response table$")
sleep 0.5
click "$graph" $DRAW_BUTTON
click "$graph" $CLOSE_BUTTON
sleep 0.5
if xdotool search --onlyvisible --name "^Frequency response table$" >/dev/null 2>&1; then
    echo "FAIL: the graph window is still open after Close"
    exit 1
fi
click "$main" $EXIT_BUTTON

for _ in $(seq 100); do kill -0 $program 2>/dev/null || break; sleep 0.1; done
if kill -0 $program 2>/dev/null; then
    echo "FAIL: the program did not end after Exit"
    exit 1
fi
wait $program || { echo "FAIL: exit code $?"; exit 1; }

# Fields of default.spk by offset: text, or little-endian double.
read_spk() {
    perl -e 'open my $f, "<:raw", $ARGV[0] or die; local $/; my $b = <$f>;
             die "size ".length($b)."\n" unless length($b) == 164;
             my ($o, $k) = @ARGV[1,2];
             if ($k eq "t") { my $t = substr($b, $o, 50); $t =~ s/\0.*//s; print $t }
             else { printf "%.10g", unpack("d<", substr($b, $o, 8)) }' default.spk "$1" "$2"
}

failures=0
expect() { # name offset kind expected
    local got
    got=$(read_spk "$2" "$3")
    if [ "$got" != "$4" ]; then
        echo "FAIL: $1 is '$got', expected '$4'"
        failures=$((failures + 1))
    fi
}
expect model 0 t "E2E woofer"
expect qts 50 d 0.35
expect fs 58 d 30
expect vas 66 d 100
expect info 74 t "typed by xdotool"
expect "sealed volume" 124 d 0
expect "ported volume" 148 d 73.7
expect "ported fb" 156 d 32.4
[ $failures -eq 0 ] && echo "user session: 1 passed, 0 failed" || echo "user session: 0 passed, 1 failed"
exit $failures
