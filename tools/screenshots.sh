#!/usr/bin/env bash
# Takes the pictures of the help's guided tour under Xvfb by following the tour in the
# real program with the 8-inch sample: release/help-*.png, shipped beside help.htm and
# shown in the README, and docs/images/title-bar.png with the program's small icon;
# then the three samples in the graph window and as spktool's chart of them
# (docs/images/chart-*), for the README, and spktool's page of the 12-inch sample
# (release/help-report.png).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
"$root/tools/release.sh" >/dev/null      # the program and the sample drivers
samples=$(ls -d "$root"/build/win/release/kalvora98-*-win32/samples | head -n1)
WINE_ROOT="$root/build/win" source "$root/tools/wine-env.sh"
source "$root/tools/xdrive.sh"
work=$(mktemp -d)
trap 'stop_all; rm -rf "$work"' EXIT
start_display
start_wine
mkdir -p "$root/docs/images"

# Client area only, without the time stamps ImageMagick would write into the file.
shot() { # window file
    import -window "$1" "$work/shot.png"
    convert "$work/shot.png" -strip "$2"
}

# With the window manager's frame, for the windows whose title the help quotes: the
# graph window and the Enclosures dialog draw their own title bar, these do not.
framed_shot() { # window file
    timeout 5 xdotool windowactivate --sync "$1" 2>/dev/null || true
    sleep 0.5
    import -frame -window "$1" "$work/shot.png"
    convert "$work/shot.png" -strip "$2"
}

cd "$work"
start_program "$root/build/win/kalvora98.exe"
# Open... with the 8-inch sample: the file dialog takes the typed path.
click "$main" $OPEN_BUTTON
wait_window "^Open loudspeaker" >/dev/null
sleep 0.5
xdotool type --delay 20 "$(winepath -w "$samples/example-8in-woofer.spk")"
xdotool key Return
sleep 1
framed_shot "$main" "$root/release/help-main-window.png"

# Red: the curve of Optimize's numbers. Green: the 13-litre box as built, Fb typed from
# its true resonance. Blue: the 18.3-litre box that has a Q of 0.707, over the red.
click "$main" $OPEN_GRAPH_BUTTON
graph=$(wait_window "^Frequency response table$")
# As the tour says: below the main window, clear of its Volume and Fb fields.
eval "$(xdotool getwindowgeometry --shell "$main")"
below=$((Y + HEIGHT + 40))
xdotool windowmove --sync "$graph" "$X" "$below" 2>/dev/null || xdotool windowmove "$graph" "$X" "$below"
xdotool windowsize --sync "$graph" 420 255 2>/dev/null || xdotool windowsize "$graph" 420 255
sleep 0.5
type_field "$main" $FB_FIELD "67.6"
click "$graph" $DRAW_BUTTON
type_field "$main" $VOLUME_FIELD "18.3"
type_field "$main" $FB_FIELD "59.5"
click "$graph" $DRAW_BUTTON
sleep 0.5
shot "$graph" "$root/release/help-graph-window.png"

click "$graph" $ENCLOSURES_BUTTON
enclosures=$(wait_window "^Enclosures")
sleep 0.5
shot "$enclosures" "$root/release/help-enclosures.png"
click "$enclosures" $ENCLOSURES_CLOSE_BUTTON

# Red: the ported box of the sample. Green: the sealed box of 18.3 litres.
click "$graph" $CLEAR_BUTTON
click "$main" $PORTED_BUTTON
click "$graph" $DRAW_BUTTON
click "$main" $SEALED_BUTTON
click "$graph" $DRAW_BUTTON
click "$main" $PORTED_BUTTON
sleep 0.5
shot "$graph" "$root/release/help-ported-vs-sealed.png"

click "$main" $PORT_BUTTON
port=$(wait_window "^Port dimension")
sleep 0.5
type_field "$port" $PORT_DIAMETER_FIELD "7.5"
framed_shot "$port" "$root/release/help-port-dialog.png"
click "$port" $PORT_CLOSE_BUTTON

# The three samples' designs as the graph window shows them at its first size, and as
# spktool draws them: the 8-inch sealed (red), the 12-inch ported (green) and the
# 6.5-inch sealed (blue). Opening a file selects its sealed design.
open_sample() { # file
    click "$main" $OPEN_BUTTON
    wait_window "^Open loudspeaker" >/dev/null
    sleep 0.5
    xdotool type --delay 20 "$(winepath -w "$samples/$1")"
    xdotool key Return
    sleep 1
}
click "$graph" $CLEAR_BUTTON
xdotool windowsize --sync "$graph" 340 255 2>/dev/null || xdotool windowsize "$graph" 340 255
open_sample example-8in-woofer.spk
click "$graph" $DRAW_BUTTON
open_sample example-12in-subwoofer.spk
click "$main" $PORTED_BUTTON
click "$graph" $DRAW_BUTTON
open_sample example-6in5-midwoofer.spk
click "$graph" $DRAW_BUTTON
sleep 0.5
shot "$graph" "$root/docs/images/chart-graph-window.png"
(cd "$samples" && wine "$root/build/win/spktool.exe" chart example-8in-woofer.spk \
    example-12in-subwoofer.spk:ported example-6in5-midwoofer.spk \
    -o "$(winepath -w "$root/docs/images/chart-spktool.svg")" --force >/dev/null)

# The caption as the window manager draws it, with the program's small icon: the top
# 20 rows of the framed window.
timeout 5 xdotool windowactivate --sync "$main" 2>/dev/null || true
sleep 0.5
import -frame -window "$main" "$work/framed.png"
convert "$work/framed.png" -crop x20+0+0 +repage -strip "$root/docs/images/title-bar.png"
click "$graph" $CLOSE_BUTTON
click "$main" $EXIT_BUTTON
wait $program

# The top of spktool's page of the 12-inch sample, as a browser shows it: the tables,
# the level chart and the first two charts at the sheet's Pe. Headless Chromium draws
# it 800 pixels wide; the picture is three quarters of that, in 128 colours.
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
command -v chromium >/dev/null || $sudo env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends chromium >/dev/null
cmake -S "$root" -B "$root/build/native" -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_C_COMPILER=clang -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build/native" --target spktool >/dev/null
(cd "$samples" && "$root/build/native/spktool/spktool" report example-12in-subwoofer.spk \
    -o "$work/report.htm" >/dev/null)
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=800,1700 \
    --screenshot="$work/report.png" "file://$work/report.htm" >/dev/null 2>&1
convert "$work/report.png" -crop 800x1515+0+0 +repage -resize 75% -colors 128 -strip \
    "$root/release/help-report.png"
echo "Wrote release/help-*.png and docs/images/title-bar.png, chart-*"
