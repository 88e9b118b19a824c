#!/usr/bin/env bash
# spktool report's page as a reader gets it: the figures limits and build print, every
# section, nothing fetched from elsewhere, HTML that tidy accepts, charts a browser draws.
#   report-page.sh SPKTOOL
set -euo pipefail
tool=$(realpath "$1")
data=$(cd "$(dirname "$0")/data" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "report-page: $*" >&2; exit 1; }
spktool() { "$tool" "$@"; }

spktool new x.spk qts=0.38 vas=45 fs=32 ported.volume=42 ported.fb=32.1 sealed.volume=13 \
    sealed.fb=59.5 re=5.6 qes=0.42 qms=4 sd=220 xmax=5 pe=60 >/dev/null
spktool new y.spk qts=0.45 vas=95 fs=25 sealed.volume=38.5 sealed.fb=39.3 >/dev/null
head -c 100 /dev/zero >short.spk
spktool report x.spk -o one.htm >/dev/null
rc=0
spktool report x.spk y.spk short.spk -o three.htm >/dev/null 2>&1 || rc=$?
[ "$rc" -eq 1 ] || fail "report with a damaged file exited $rc, not 1"

# Catches the page computing with other defaults than it states, or its texts drifting
# from the commands': each command's output must be one of the page's <pre> blocks, whole.
line=$(grep -o 'Power: [^<]*' one.htm) || fail "one.htm has no Power: line"
[[ $line =~ Power:\ ([0-9.]+)\ W.*Port:\ ([1-4])\ ports?\ of\ ([0-9.]+)\ cm ]] ||
    fail "no power and port in: $line"
power=${BASH_REMATCH[1]} ports=${BASH_REMATCH[2]} diameter=${BASH_REMATCH[3]}
for d in sealed ported; do
    port=()
    [ $d = sealed ] || port=(--diameter "$diameter" --ports "$ports")
    spktool limits x.spk --$d --power "$power" "${port[@]}" >"limits --$d"
    spktool build x.spk --$d --panel 18 "${port[@]}" | grep -v '^Cut sheet:' >"build --$d"
done
python3 - one.htm limits* build* <<'EOF'
import html, re, sys
blocks = [html.unescape(b) for b in re.findall(r'<pre>(.*?)</pre>', open(sys.argv[1]).read(), re.S)]
for name in sys.argv[2:]:
    want = open(name).read().splitlines()
    if '\n'.join(want) + '\n' in blocks:
        continue
    near = next((b.splitlines() for b in blocks if b.splitlines()[:1] == want[:1]), [])
    i = next((i for i, (a, b) in enumerate(zip(want, near)) if a != b), min(len(want), len(near)))
    line = want[i] if i < len(want) else near[i] if i < len(near) else '(the end)'
    sys.exit(f"report-page: {name} and the page first differ at: {line}")
EOF

# Catches a page that shows the folders its files are in, in any section, a measured
# curve's included: it is to be mailed or posted as it is.
mkdir "sub dir"
cp x.spk x.txt y.spk "sub dir/"
cp "$data/free.zma" "sub dir/x.zma"
rc=0
spktool report "$work/sub dir/x.spk" "sub dir/y.spk" "sub dir/none.spk" -o sub.htm \
    >/dev/null 2>&1 || rc=$?
[ "$rc" -eq 1 ] || fail "report with a missing file exited $rc, not 1"
folder=$(grep -o '.\{0,30\}sub dir.\{0,30\}' sub.htm | head -1) || true
[ -z "$folder" ] || fail "sub.htm shows a folder: $folder"
for name in '(x.spk)' '(y.spk)' 'Not read: none.spk' 'driver sheet y.txt' 'x.spk: ported box' \
    'measured, x.zma'; do
    grep -qF "$name" sub.htm || fail "sub.htm does not name the file: $name"
done

# Catches a design drawn in another colour on one chart (the port's speed shows the
# ported design alone) than on the others: each chart's title lines are in its colours.
python3 - one.htm <<'EOF'
import re, sys
colours = {}
for fill, box in re.findall(r'<text [^>]*fill="(#[0-9a-f]{6})"[^>]*>[^<]*: (sealed|ported) box', open(sys.argv[1]).read()):
    if fill != '#000000':  # the cut sheet's title
        colours.setdefault(box, set()).add(fill)
if sorted(colours) != ['ported', 'sealed'] or any(len(c) != 1 for c in colours.values()):
    sys.exit(f"report-page: the designs' colours on the charts: {colours}")
EOF

# Catches a section left out, or a page that needs the network or a script to show.
for h in Driver Designs Response 'At [0-9.]+ W' 'The box to build'; do
    grep -Eq "<h3>$h</h3>" one.htm || fail "one.htm has no heading $h"
done
ref=$(grep -Eio "src=|href=[\"']?[^\"'#]|<script|url\(|@import" one.htm three.htm | head -1) || true
[ -z "$ref" ] || fail "the page refers outside itself: $ref"

# Catches markup a browser has to guess at, with and without a file that failed.
for page in one.htm three.htm sub.htm; do
    rc=0
    tidy -q -e "$page" 2>tidy.txt || rc=$?
    [ "$rc" -le 1 ] || fail "tidy finds errors in $page: $(grep -m1 -i error tidy.txt)"
done

# Catches curves the SVG holds but a browser does not draw (out of the view box, no
# stroke): the text in the same colours alone gives a few hundred pixels.
HOME=$work timeout 60 chromium --headless --no-sandbox --disable-gpu --hide-scrollbars \
    --window-size=1000,2600 --user-data-dir="$work/chromium" --screenshot="$work/one.png" \
    "file://$work/one.htm" >/dev/null 2>&1 || true
[ -s one.png ] || fail "chromium wrote no screenshot of one.htm"
for colour in '#ff0000' '#00ff00'; do
    n=$(convert one.png -alpha off -fuzz 5% -fill black +opaque "$colour" -fill white \
        -opaque "$colour" -format '%[fx:round(mean*w*h)]' info:)
    [ "$n" -ge 1000 ] || fail "the $colour curves cover $n pixels in Chromium, not 1000"
done
