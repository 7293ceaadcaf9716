#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A desktop without a notification area: the window asked to start hidden goes to the task bar
# (minimised) instead of vanishing; when a notification area appears later the icon shows up in it
# and works.
. "$(dirname "$0")/e2e-lib.sh"

e2e_iconic() { xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'window state: Iconic'; }

e2e_setup "${1:?usage: $0 path/to/Vespelinda}"
e2e_start_x
e2e_start_wm
e2e_settings "Carica avvio" 0 "Tipo iniziale" Nessuno "Tipo finale" Nessuno "Riduci icona" 1 \
    "Leggi errore" 1 "Automin" 0 "Mess Min" 0 "Secondi inatt" 15
xdotool mousemove 1000 700
e2e_start_app

W=$(e2e_wait_main_window 15) || e2e_fail "no main window: the user could not reach the program"
e2e_wait 5 e2e_iconic "$W" || e2e_fail "the window is not minimised to the task bar: $(xprop -id "$W" WM_STATE)"
e2e_tray_icon >/dev/null && e2e_fail "an icon without a notification area?"

e2e_start_tray
ICON=$(e2e_wait_tray_icon 10) || e2e_fail "the icon did not appear when the notification area did"
e2e_click "$ICON" 1
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the icon did not bring the window back"
e2e_iconic "$W" && e2e_fail "the window is still minimised"
e2e_click "$ICON" 1
e2e_wait 5 e2e_not e2e_viewable "$W" || e2e_fail "with a notification area, a click on the icon does not hide"
e2e_iconic "$W" && e2e_fail "hidden in the notification area, yet minimised in the task bar"
e2e_pass
