#!/usr/bin/env bash
# Takes the README's pictures under Xvfb: the main window with a driver typed in,
# the graph window comparing three designs, and the title bar with the program's small
# icon. Writes docs/images/*.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
"$root/tools/build.sh" win >/dev/null
WINE_ROOT="$root/build/win" source "$root/tools/wine-env.sh"
source "$root/tools/xdrive.sh"
work=$(mktemp -d)
trap 'stop_all; rm -rf "$work"' EXIT
start_display
start_wine
mkdir -p "$root/docs/images"

cd "$work"
start_program "$root/build/win/kalvora98.exe"
type_driver "Demo 8 inch woofer" 0.35 100 30 "paper cone, rubber surround"
click "$main" $PORTED_BUTTON
click "$main" $OPTIMIZE_BUTTON                 # red: the proposed ported box
click "$main" $OPEN_GRAPH_BUTTON
graph=$(wait_window "^Frequency response table$")
xdotool windowmove --sync "$graph" 460 40 2>/dev/null || xdotool windowmove "$graph" 460 40
sleep 0.5
type_field "$main" $VOLUME_FIELD "40"          # green: a smaller ported box
click "$graph" $DRAW_BUTTON
click "$main" $SEALED_BUTTON
click "$main" $OPTIMIZE_BUTTON                 # blue: the proposed sealed box
click "$graph" $DRAW_BUTTON
sleep 1
import -window "$main" "$root/docs/images/main-window.png"
import -window "$graph" "$root/docs/images/graph-window.png"
# The caption as the window manager draws it, with the program's small icon: the top
# 20 rows of the framed window.
timeout 5 xdotool windowactivate --sync "$main" 2>/dev/null || true
sleep 0.5
import -frame -window "$main" "$work/framed.png"
convert "$work/framed.png" -crop x20+0+0 +repage "$root/docs/images/title-bar.png"
click "$graph" $CLOSE_BUTTON
click "$main" $EXIT_BUTTON
wait $program
echo "Wrote docs/images/main-window.png, graph-window.png and title-bar.png"
