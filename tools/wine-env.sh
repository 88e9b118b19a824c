# Sourced by test.sh, run.sh and the tools: a virtual display and a project-local
# Wine prefix, both stopped by process id when the script ends.
WINE_ROOT=${WINE_ROOT:-$PWD/build/win}
export WINEPREFIX="$WINE_ROOT/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

KALVORA_XVFB_PID=""
KALVORA_WM_PID=""

# Starts Xvfb on a free display and exports DISPLAY; openbox gives keyboard focus.
start_display() {
    local fifo display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
    KALVORA_XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$display_file" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$display_file")"
    rm -f "$display_file"
    openbox >/dev/null 2>&1 &
    KALVORA_WM_PID=$!
}

start_wine() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
    fi
    wineserver -p10 >/dev/null 2>&1 || true
}

stop_all() {
    wineserver -k >/dev/null 2>&1 || true
    [ -n "$KALVORA_WM_PID" ] && kill "$KALVORA_WM_PID" 2>/dev/null || true
    [ -n "$KALVORA_XVFB_PID" ] && kill "$KALVORA_XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
}
