#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pictures of the real program under Xvfb for the documentation: the face awake, asleep after the
# idle time, folded to the face alone, and the options window.
#   take-screenshots.sh path/to/Vespelinda [OUTPUT_FOLDER]   (default: docs/screenshots)
. "$(dirname "$0")/e2e-lib.sh"

out=${2:-$(cd "$(dirname "$0")/../.." && pwd)/docs/screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)
e2e_setup "${1:?usage: $0 path/to/Vespelinda [output folder]}"
e2e_start_x
e2e_start_wm
e2e_start_tray
e2e_settings "Carica avvio" 0 "Tipo iniziale" Nessuno "Tipo finale" Nessuno "Riduci icona" 0 \
    "Leggi errore" 1 "Automin" 0 "Mess Min" 0 "Secondi inatt" 15
xdotool mousemove 1000 700
e2e_start_app
W=$(e2e_wait_main_window 15) || e2e_fail "the main window did not appear"
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the main window is not shown"
# The window with its title bar: the window manager's frame around it.
frame()
{
    local id=$1 parent
    while parent=$(xwininfo -children -id "$id" | awk '/Parent window id/ {print $4}') &&
        [ "$parent" != "$(xwininfo -root | awk '/Window id/ {print $4}')" ]; do
        id=$parent
    done
    echo "$id"
}
F=$(frame "$W")

sleep 2
e2e_screenshot "$F" "$out/face-awake.png"
e2e_log "awake"

# Asleep "Secondi inatt" seconds after the last pointer movement, plus up to the heartbeat's second.
sleep 16
e2e_screenshot "$F" "$out/face-asleep.png"
e2e_log "asleep"

# "Nascondi comandi" from the face's menu (its last item).
eval "$(xdotool getwindowgeometry --shell "$W")"
xdotool mousemove --window "$W" 100 120 click 3
e2e_wait 5 e2e_popup_menu_shown || e2e_fail "the face's menu did not open"
xdotool key Up Return
xdotool mousemove 1000 700
sleep 1
e2e_screenshot "$F" "$out/face-folded.png"
e2e_log "folded"

# "Opzioni" from the face's menu (its third item).
xdotool mousemove --window "$W" 100 120 click 1
e2e_wait 5 e2e_popup_menu_shown || e2e_fail "the face's menu did not open"
xdotool key Down Down Down Return
options_open() { xdotool search --all --pid "$APP_PID" --name '^Opzioni$' | grep -q .; }
e2e_wait 5 options_open || e2e_fail "the options window did not open"
O=$(xdotool search --all --pid "$APP_PID" --name '^Opzioni$' | head -n1)
xdotool mousemove 1000 700
sleep 1
e2e_screenshot "$(frame "$O")" "$out/options.png"
e2e_log "options"
e2e_log "pictures in $out"
e2e_pass
