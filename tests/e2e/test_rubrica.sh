#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program's address book, from the keyboard: a name typed in the search box and Enter read
# the entry aloud (telephone digit by digit, e-mail with its at sign and dots as words); a new entry
# typed with "Aggiungi nuovo" and "Salva" lands in dati.mdb exactly as typed and is found in turn.
. "$(dirname "$0")/e2e-lib.sh"

e2e_setup "${1:?usage: $0 path/to/Vespelinda}"
e2e_start_desktop
e2e_settings "Carica avvio" 0 "Tipo iniziale" Nessuno "Tipo finale" Standard "Riduci icona" 0 \
    "Leggi errore" 0 "Automin" 0 "Mess Min" 0 "Secondi inatt" 300
sqlite3 "$APP_DIR/dati.mdb" <<'SQL' || e2e_fail "cannot write dati.mdb"
INSERT INTO Rubrica (Nome, Telefono, Email) VALUES ('Anna Bianchi', '02 55', 'anna@example.it');
INSERT INTO Rubrica (Nome, Telefono, Email) VALUES ('Mario Rossi', '06 1234', 'mario.rossi@example.it');
SQL

e2e_start_app
W=$(e2e_wait_main_window 15) || e2e_fail "the main window did not appear"
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the main window is not shown"
e2e_wait 5 e2e_takes_keys "$W" || e2e_fail "the main window did not take the focus"
e2e_show_page "$W" Rubrica || e2e_fail "the Rubrica tab did not bring its page"
# search_box_focused: the search box txtNome has the keyboard focus.
search_box_focused() { e2e_field_focused "$W" 150 312; }
e2e_click_at "$W" 152 321
e2e_wait 3 search_box_focused || e2e_fail "a click on the search box did not put the caret in it"

xdotool type --delay 30 "mario rossi"
xdotool key Return
e2e_wait_speech "Mario Rossi . telefono." 5 || e2e_fail "the entry was not read"
e2e_spoken "Mario Rossi . telefono. 0.6. .1.2.3.4.. . imèil. mario punto rossi èt example punto it" ||
    e2e_fail "the entry was read wrong"

# A new entry, keyboard only: Alt+A "Aggiungi nuovo", the three fields by Tab, Alt+S "Salva".
xdotool key alt+a
# After its button's short flash, the caret is in the name.
e2e_wait 3 e2e_field_focused "$W" 100 387 || e2e_fail "\"Aggiungi nuovo\" did not put the caret in the name"
xdotool type --delay 30 "Lucia D'Amico"
xdotool key Tab
xdotool type --delay 30 "+39 333-12"
xdotool key Tab
xdotool type --delay 30 "lucia@posta.example.it"
xdotool key alt+s
stored()
{
    sqlite3 -separator '|' "$APP_DIR/dati.mdb" "SELECT Nome, Telefono, Email FROM Rubrica WHERE Nome = 'Lucia D''Amico'"
}
has_new_entry() { [ -n "$(stored)" ]; }
e2e_wait 5 has_new_entry || e2e_fail "the new entry is not in dati.mdb"
[ "$(stored)" = "Lucia D'Amico|+39 333-12|lucia@posta.example.it" ] || e2e_fail "stored as: $(stored)"
[ "$(sqlite3 "$APP_DIR/dati.mdb" 'SELECT count(*) FROM Rubrica')" = 3 ] || e2e_fail "not exactly one entry added"

# Back in the search box, the new name is found.
e2e_click_at "$W" 152 321
e2e_wait 3 search_box_focused || e2e_fail "a click on the search box did not put the caret in it"
xdotool key ctrl+a
xdotool type --delay 30 "lucia d'amico"
xdotool key Return
e2e_wait_speech "Lucia D'Amico . telefono." 5 || e2e_fail "the new entry was not found"
e2e_spoken "Lucia D'Amico . telefono. +.3.9. .3.3.3.-.1.2.. . imèil. lucia èt posta punto example punto it" ||
    e2e_fail "the new entry was read wrong"
e2e_app_running || e2e_fail "the program ended"
e2e_pass
