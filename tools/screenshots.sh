#!/usr/bin/env bash
# Takes the README's pictures under Xvfb: the main window with a driver typed in, and
# the graph window comparing three designs. Writes docs/images/*.png.
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
click "$graph" $CLOSE_BUTTON
click "$main" $EXIT_BUTTON
wait $program
echo "Wrote docs/images/main-window.png and docs/images/graph-window.png"
