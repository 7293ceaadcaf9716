#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pictures of the real program under Xvfb for the documentation: the face awake, the Leggi page
# with a typed text, the Calendario page, the address book browsing and with an entry being typed,
# the appointment and reminder windows listing and adding, the face asleep after the idle time,
# folded to the face alone, the About window, the options window and the voice dialog.
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
today=$(date +%F)
sqlite3 "$APP_DIR/dati.mdb" <<SQL || e2e_fail "cannot write dati.mdb"
INSERT INTO Rubrica (Nome, Telefono, Email) VALUES ('Mario Rossi', '06 1234567', 'mario.rossi@example.it');
INSERT INTO Rubrica (Nome, Telefono, Email) VALUES ('Lucia D''Amico', '+39 333 1234567', 'lucia@example.it');
INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES ('${today}T00:00:00', '1899-12-30T09:30:00', 'Dentista');
INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES ('${today}T00:00:00', '1899-12-30T15:00:00', 'Riunione con l''avvocato');
INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES ('$(date -d tomorrow +%F)T00:00:00', '1899-12-30T11:15:00', 'Ritirare gli occhiali');
INSERT INTO Promemoria (Ora, Testo) VALUES ('1899-12-30T08:00:00', 'Pillola della pressione');
INSERT INTO Promemoria (Ora, Testo) VALUES ('1899-12-30T20:30:00', 'Annaffiare le piante');
SQL
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

# Leggi: a text typed into its box (the pointer leaves the window, so no tooltip shows).
xdotool mousemove --window "$W" 110 360 click 1
xdotool type --delay 20 "Vespelinda legge ad alta voce il testo che scrivi o incolli qui. Premi Leggi per ascoltarlo!"
xdotool mousemove 1000 700
sleep 1
e2e_screenshot "$F" "$out/leggi.png"
e2e_log "Leggi page"

# Calendario: its tab, the second of the strip.
xdotool mousemove --window "$W" 88 276 click 1
xdotool mousemove 1000 700
sleep 1
e2e_screenshot "$F" "$out/calendario.png"
e2e_log "Calendario page"

# The address book: its tab, the first entry; then "Aggiungi nuovo" with a name and a number typed.
xdotool mousemove --window "$W" 205 276 click 1
xdotool mousemove 1000 700
sleep 0.5
e2e_screenshot "$F" "$out/rubrica.png"
xdotool key alt+a
sleep 0.3 # a mnemonic clicks its button after a short flash
xdotool type --delay 20 "Anna Bianchi"
xdotool key Tab
xdotool type --delay 20 "02 7654321"
sleep 0.5
e2e_screenshot "$F" "$out/rubrica-entry.png"
e2e_log "address book"
xdotool key alt+a # "Annulla"
xdotool mousemove --window "$W" 25 276 click 1

# The appointment and the reminder windows, from the Agenda page's buttons: the list, then the
# new-entry panel (Alt+A) with something typed; Esc leaves the panel, Esc again closes the window.
xdotool mousemove --window "$W" 165 276 click 1 # the Agenda tab
manager()
{
    local button_y=$1 title=$2 name=$3 time=$4 text=$5 M
    sleep 0.6
    xdotool mousemove --window "$W" 114 "$button_y" click 1
    e2e_wait 5 xdotool search --all --pid "$APP_PID" --name "^$title\$" || e2e_fail "no window $title"
    M=$(xdotool search --all --pid "$APP_PID" --name "^$title\$" | head -n1)
    xdotool mousemove 1000 700
    sleep 1
    e2e_screenshot "$(frame "$M")" "$out/$name.png"
    xdotool key alt+a
    sleep 0.3
    xdotool type --delay 40 "$time"
    xdotool key Tab
    [ "$name" = appuntamenti ] && xdotool key Tab Tab Tab
    xdotool type --delay 20 "$text"
    sleep 0.5
    e2e_screenshot "$(frame "$M")" "$out/$name-nuovo.png"
    xdotool key Escape Escape
    e2e_wait 5 e2e_not xdotool search --all --pid "$APP_PID" --name "^$title\$" || e2e_fail "$title did not close"
    e2e_log "$title"
}
manager 482 "Programma appuntamenti" appuntamenti 17.45 "Telefonare a Giulia"
manager 506 "Programma promemoria giornalieri" promemoria 13.00 "Pranzo"
xdotool mousemove --window "$W" 28 276 click 1 # back to the first tab
xdotool mousemove 1000 700

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

# "Info" from the face's menu (its second item) opens the About window.
xdotool mousemove --window "$W" 100 120 click 3
e2e_wait 5 e2e_popup_menu_shown || e2e_fail "the face's menu did not open"
xdotool key Down Down Return
xdotool mousemove 1000 700
about_window() { xdotool search --all --pid "$APP_PID" --name '^Informazioni su Vespelinda$' | head -n1; }
about_open() { [ -n "$(about_window)" ]; }
e2e_wait 5 about_open || e2e_fail "the About window did not open"
A=$(about_window)
e2e_wait 5 e2e_viewable "$A" || e2e_fail "the About window is not shown"
sleep 1
e2e_screenshot "$(frame "$A")" "$out/about.png"
e2e_log "about"
xdotool windowactivate --sync "$A" key Escape
e2e_wait 5 e2e_not about_open || e2e_fail "the About window did not close"

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

# "Opzioni voce" in the options window opens the voice dialog.
xdotool mousemove --window "$O" 140 352 click 1
voice_window() { xdotool search --all --pid "$APP_PID" --name '^Opzioni voce$' | head -n1; }
voice_open() { [ -n "$(voice_window)" ]; }
e2e_wait 5 voice_open || e2e_fail "the voice dialog did not open"
V=$(voice_window)
e2e_wait 5 e2e_viewable "$V" || e2e_fail "the voice dialog is not shown"
xdotool mousemove 1000 700
sleep 1
e2e_screenshot "$(frame "$V")" "$out/voice.png"
e2e_log "voice"
e2e_log "pictures in $out"
e2e_pass
