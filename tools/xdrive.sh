# Sourced by the scripts that use the real program as a person would, with xdotool.
# Coordinates are client-area pixels: under a window manager Wine's X window is the
# client area, and the WM draws the frame.

# Prints the X id of the first window whose title matches the regex $1.
wait_window() {
    local id=""
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    echo "no window matching '$1' appeared" >&2
    return 1
}

click() { # window x y
    timeout 5 xdotool windowactivate --sync "$1" 2>/dev/null || true
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.3
}

# Replaces a field's text: click into it, select everything, type.
type_field() { # window x y text
    click "$1" "$2" "$3"
    xdotool key --clearmodifiers End shift+Home BackSpace
    xdotool type --delay 20 -- "$4"
    sleep 0.2
}

# Starts the program in the current directory: sets $program to its process and
# $main to its main window once that is on screen.
start_program() { # exe
    wine "$1" &
    program=$!
    main=$(wait_window "^Kalvora BETA 2 - ")
    sleep 0.5
}

# Types a driver into the main window's Speaker fields.
type_driver() { # model qts vas fs info
    type_field "$main" $MODEL_FIELD "$1"
    type_field "$main" $QTS_FIELD "$2"
    type_field "$main" $VAS_FIELD "$3"
    type_field "$main" $FS_FIELD "$4"
    type_field "$main" $INFO_FIELD "$5"
}

# Main window controls, at the middle of each.
MODEL_FIELD="120 35"; QTS_FIELD="70 65"; VAS_FIELD="170 65"; FS_FIELD="70 95"
INFO_FIELD="120 125"; VOLUME_FIELD="292 85"; FB_FIELD="380 85"
PORTED_BUTTON="280 56"; OPTIMIZE_BUTTON="250 126"; OPEN_GRAPH_BUTTON="280 221"
EXIT_BUTTON="385 269"; OPEN_BUTTON="45 161"; PORT_BUTTON="250 161"
# Graph window buttons. Wine draws this tool window's frame itself, so its X window
# starts at the outer edge: client (x, y) is at (x + 6, y + 22).
DRAW_BUTTON="46 227"; CLEAR_BUTTON="116 227"; CLOSE_BUTTON="281 227"
ENCLOSURES_BUTTON="198 227"
SEALED_BUTTON="280 33"
# The dialogs, in pixels from their templates' dialog units (MS Sans Serif 8 under Wine:
# 7 pixels across and 13 down for 4 and 8 units). Wine draws the Enclosures tool
# window's frame itself, as the graph window's; the window manager frames the Port one.
ENCLOSURES_CLOSE_BUTTON="224 166"
PORT_DIAMETER_FIELD="117 58"; PORT_CLOSE_BUTTON="147 177"
