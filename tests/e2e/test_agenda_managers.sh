#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The appointment window of the real program, from the keyboard: opened from the Agenda page, a new
# appointment for the coming minute is typed and confirmed, the window closed with Esc. The row is
# in dati.mdb, the "A" of its hour lights, and the appointment is announced with its box.
. "$(dirname "$0")/e2e-lib.sh"

e2e_setup "${1:?usage: $0 path/to/Vespelinda}"
e2e_start_desktop
e2e_settings "Carica avvio" 0 "Tipo iniziale" Nessuno "Tipo finale" Nessuno "Riduci icona" 0 \
    "Leggi errore" 0 "Automin" 0 "Mess Min" 0 "Secondi inatt" 300

# Today at 10:29:30 on the program's clock (and this script's): the appointment falls due at 10:30.
real=$(date +%s)
due=$(date -d "$(date +%F) 10:30:00" +%s)
e2e_fake_clock $((due - 30 - real))
today=$(date +%F)
text="Riunione \"Bianchi\" là"

e2e_start_app
W=$(e2e_wait_main_window 15) || e2e_fail "the main window did not appear"
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the main window is not shown"
e2e_wait 5 e2e_takes_keys "$W" || e2e_fail "the main window did not take the focus"
e2e_show_page "$W" Agenda || e2e_fail "the Agenda tab did not bring its page"
e2e_click_at "$W" 114 482 # "Appuntamento"
window() { xdotool search --all --pid "$APP_PID" --name '^Programma appuntamenti$' 2>/dev/null | head -n1; }
has_window() { [ -n "$(window)" ] && e2e_viewable "$(window)"; }
e2e_wait 5 has_window || e2e_fail "the appointment window did not open"
A=$(window)
e2e_wait 3 e2e_takes_keys "$A" || e2e_fail "the appointment window is not active"

# Real key presses from here on, to the active window. "Aggiungi nuovo" (after its button's short
# flash) puts the caret in the time; Tab goes to the date (today), Tab again to the text.
xdotool key alt+a
e2e_wait 3 e2e_field_focused "$A" 120 89 || e2e_fail "\"Aggiungi nuovo\" did not put the caret in the time"
xdotool type --delay 60 "10.30"
xdotool key Tab Tab
# Pasted: xdotool types a letter outside the keymap ("à") through a key it remaps on the fly, and a
# busy program can read that key before the new mapping and lose the letter.
printf '%s' "$text" | xclip -selection clipboard 2>/dev/null
xdotool key ctrl+v
xdotool key alt+c
stored() { [ "$(sqlite3 "$APP_DIR/dati.mdb" "SELECT Data || '|' || Ora || '|' || Testo FROM Appuntamenti")" = "${today}T00:00:00|1899-12-30T10:30:00|$text" ]; }
e2e_wait 3 stored || e2e_fail "not stored: $(sqlite3 "$APP_DIR/dati.mdb" 'SELECT * FROM Appuntamenti')"

xdotool key Escape
e2e_wait 3 e2e_not has_window || e2e_fail "Esc did not close the window"

# The "A" of 10 on the timeline (column 2, row 2), within a second.
lit()
{
    import -window "$W" "$E2E_DIR/window.png" 2>/dev/null
    [ "$(convert "$E2E_DIR/window.png" -format '%[pixel:p{114,372}]' info:)" = "srgb(0,255,0)" ]
}
e2e_wait 3 lit || e2e_fail "the A of 10 is not lit"

spoken="Sono le 10 e 30. . $text."
e2e_wait $((due - $(date +%s) + 10)) e2e_spoken "$spoken" || e2e_fail "not announced"
has_box() { [ -n "$(xdotool search --all --pid "$APP_PID" --name '^(Promemoria|Appuntamento)!!$' 2>/dev/null)" ]; }
e2e_wait 3 has_box || e2e_fail "no announcement box"
e2e_press_key "$(xdotool search --all --pid "$APP_PID" --name '^(Promemoria|Appuntamento)!!$' | head -n1)" Return ||
    e2e_fail "the box does not take the keyboard"
e2e_app_running || e2e_fail "the program ended"
e2e_pass
