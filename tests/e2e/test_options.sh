#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The options window of the real program: opened from the face's menu, "Nessuno" chosen for the
# exit message and confirmed with Enter; the settings file holds it and closing brings no farewell.
. "$(dirname "$0")/e2e-lib.sh"

e2e_setup "${1:?usage: $0 path/to/Vespelinda}"
e2e_start_x
e2e_start_wm
e2e_start_tray
e2e_settings "Carica avvio" 0 "Tipo iniziale" Nessuno "Tipo finale" Standard "Riduci icona" 0 \
    "Leggi errore" 1 "Automin" 0 "Mess Min" 1 "Secondi inatt" 15
e2e_start_app
W=$(e2e_wait_main_window 15) || e2e_fail "the main window did not appear"
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the main window is not shown"

options_window() { xdotool search --all --pid "$APP_PID" --name '^Opzioni$' 2>/dev/null | head -n1; }
options_open() { [ -n "$(options_window)" ]; }
xdotool mousemove --window "$W" 100 120 click 1
e2e_wait 5 e2e_popup_menu_shown || e2e_fail "a click on the face did not open its menu"
xdotool key Down Down Down Return # Esci, Info, Opzioni
e2e_wait 5 options_open || e2e_fail "\"Opzioni\" did not open the options window"
O=$(options_window)
e2e_wait 5 e2e_viewable "$O" || e2e_fail "the options window is not shown"

# "Nessuno" in the exit message's frame (its round mark filled once chosen), then Enter, which is
# "&OK".
e2e_click_at "$O" 40 126
e2e_wait 3 e2e_pixel_is "$O" 25 126 "srgb(75,75,75)" || e2e_fail "a click on \"Nessuno\" did not choose it"
e2e_press_key "$O" Return || e2e_fail "the options window does not take the keyboard"
e2e_wait 5 e2e_not options_open || e2e_fail "Enter did not close the options window"
grep -qx 'Tipo%20finale=Nessuno' "$SETTINGS_FILE" || e2e_fail "not saved: $(cat "$SETTINGS_FILE")"

wmctrl -i -c "$W"
e2e_wait 10 e2e_not e2e_app_running || e2e_fail "the program did not end"
[ "$(e2e_app_exit_status)" = 0 ] || e2e_fail "the program ended with an error"
! grep -q 'arrivederci' "$SPEECH_LOG" || e2e_fail "a farewell was spoken"
e2e_pass
