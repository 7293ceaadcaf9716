#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program's Leggi and Calendario pages: text typed into the box is read at Enter and
# "&Stop" (Alt+S) silences the sound server at once; "Dimmi che ore sono" and a day clicked in the
# calendar are spoken.
. "$(dirname "$0")/e2e-lib.sh"

e2e_setup "${1:?usage: $0 path/to/Vespelinda}"
e2e_start_x
e2e_start_wm
e2e_start_sound
e2e_settings "Carica avvio" 0 "Tipo iniziale" Nessuno "Tipo finale" Nessuno "Riduci icona" 0 \
    "Leggi errore" 1 "Automin" 0 "Mess Min" 0 "Secondi inatt" 60
e2e_start_app
W=$(e2e_wait_main_window 15) || e2e_fail "the main window did not appear"
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the main window is not shown"
e2e_wait 5 e2e_takes_keys "$W" || e2e_fail "the main window did not take the focus"
e2e_start_recording "$E2E_DIR/reading.raw"

text="Buongiorno a tutti. Questa lettera viene letta ad alta voce, una frase dopo l'altra, finche non la fermi."
e2e_click_at "$W" 110 360
xdotool type --delay 5 "$text"
xdotool key Return
e2e_wait_speech "$text" 5 || e2e_fail "Enter did not read the box"
e2e_wait 5 e2e_sound_playing || e2e_fail "nothing is playing"
# heard: the reading has reached the sink.
heard() { awk -v last="$(e2e_last_sound_seconds)" 'BEGIN { exit !(last > 0) }'; }
e2e_wait 5 heard || e2e_fail "the reading is not heard"
xdotool key alt+s
e2e_wait 1 e2e_not e2e_sound_playing || e2e_fail "still playing after Stop"

e2e_show_page "$W" Calendario || e2e_fail "the Calendario tab did not bring its page"
e2e_click_at "$W" 114 493
e2e_wait_speech "sono le " 5 || e2e_fail "the time was not told"
e2e_click_at "$W" 114 420
e2e_wait 5 grep -qE "^vespelinda.speech: (Oggi è [a-zì]+|il [0-9]+ [a-z]+ [0-9]{4} (era|sarà) [a-zì]+)$" "$SPEECH_LOG" ||
    e2e_fail "the clicked day was not spoken"
e2e_pass
