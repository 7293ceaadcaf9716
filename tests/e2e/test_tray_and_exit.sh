#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program under X with a notification area: the tray icon is there and a click on it
# hides and shows the window, the window stays above the others, it falls asleep and hides after
# the idle time, and the close box brings the farewell, after which the program ends about 1.8 s
# after the last word has been heard.
. "$(dirname "$0")/e2e-lib.sh"

e2e_setup "${1:?usage: $0 path/to/Vespelinda}"
e2e_start_x
e2e_start_wm
e2e_start_tray
e2e_start_sound
e2e_settings "Carica avvio" 0 "Tipo iniziale" Nessuno "Tipo finale" Standard "Riduci icona" 0 \
    "Leggi errore" 1 "Automin" 1 "Mess Min" 1 "Secondi inatt" 15
xdotool mousemove 600 700 # the pointer rests away from the window
e2e_start_app

W=$(e2e_wait_main_window 15) || e2e_fail "the main window did not appear"
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the main window is not shown"
e2e_window_state "$W" | grep -q _NET_WM_STATE_ABOVE || e2e_fail "the window is not kept above: $(e2e_window_state "$W")"
ICON=$(e2e_wait_tray_icon 10) || e2e_fail "no icon in the notification area"
e2e_log "window $W, tray icon $ICON"

# Left click: hide, then show again, still above the others.
e2e_click "$ICON" 1
e2e_wait 5 e2e_not e2e_viewable "$W" || e2e_fail "a click on the icon did not hide the window"
e2e_click "$ICON" 1
e2e_wait 5 e2e_viewable "$W" || e2e_fail "a second click on the icon did not show the window"
e2e_window_state "$W" | grep -q _NET_WM_STATE_ABOVE || e2e_fail "shown again, the window is no longer above"

# Right click: the icon's menu, nothing else.
e2e_click "$ICON" 3
e2e_wait 5 e2e_popup_menu_shown || e2e_fail "a right click on the icon did not open its menu"
e2e_viewable "$W" || e2e_fail "a right click changed the window"
xdotool key Escape
e2e_wait 5 e2e_not e2e_popup_menu_shown
xdotool mousemove 600 700

# Idle for "Secondi inatt" seconds (plus up to one of the heartbeat): asleep and hidden.
e2e_wait_speech "Se hai bisogno di me, mi trovi sulla barra delle applicazioni." 25 ||
    e2e_fail "the assistant did not fall asleep"
e2e_wait 3 e2e_not e2e_viewable "$W" || e2e_fail "asleep, the window did not hide"
e2e_click "$ICON" 1
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the icon did not bring the window back"
xdotool mousemove 600 700
e2e_wait 10 e2e_not e2e_sound_playing # the message has been heard

# The close box: the farewell is heard whole, then the program ends 1.8 s later.
e2e_start_recording "$E2E_DIR/speech.raw"
wmctrl -i -c "$W"
e2e_wait_speech "spero di esserti stata utile. . arrivederci" 5 || e2e_fail "closing did not bring the farewell"
e2e_viewable "$W" || e2e_fail "the window went before the farewell"
e2e_wait 20 e2e_not e2e_app_running || e2e_fail "the program did not end after the farewell"
exited_at=$(e2e_recorded_seconds)
[ "$(e2e_app_exit_status)" = 0 ] || e2e_fail "the program ended with an error"
last_word=$(e2e_last_sound_seconds)
delay=$(awk -v a="$exited_at" -v b="$last_word" 'BEGIN { printf "%.2f", a - b }')
e2e_log "farewell heard until ${last_word}s, program gone at ${exited_at}s: ${delay}s later"
awk -v b="$last_word" 'BEGIN { exit !(b > 0.5) }' || e2e_fail "the farewell was not heard"
awk -v d="$delay" 'BEGIN { exit !(d >= 1.3 && d <= 3.5) }' || e2e_fail "the program ended ${delay}s after the farewell"
e2e_pass
