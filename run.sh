#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it under Wine in the current
# directory, where it keeps "default.spk". Without a display it starts a virtual one,
# saves a screenshot of the main window to build/screenshot.png and closes the program.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/tools/install-deps.sh"
"$here/tools/build.sh" win >/dev/null
exe="$here/build/win/kalvora98.exe"

WINE_ROOT="$here/build/win" source "$here/tools/wine-env.sh"
trap stop_all EXIT
headless=""
if [ -z "${DISPLAY:-}" ]; then
    headless=1
    start_display
fi
start_wine

if [ -z "$headless" ]; then
    wine "$exe"
    exit 0
fi

wine "$exe" &
program=$!
window=""
for _ in $(seq 100); do
    window=$(xdotool search --name "^Kalvora BETA 2" 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "The main window did not appear." >&2; exit 1; }
sleep 1
import -window "$window" "$here/build/screenshot.png"
echo "Screenshot of the main window: $here/build/screenshot.png"
# Alt+F4 reaches the window as its close command: "default.spk" is written as at Exit.
xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
wait "$program"
echo "Kalvora 98 ended with exit code $?."
