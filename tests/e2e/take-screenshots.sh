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
# shows_text WINDOW GEOMETRY: that part of the window (inside a text box) shows text, drawn in more
# than the two colours of an empty box and its caret.
shows_text() { [ "$(import -window "$1" ppm:- 2>/dev/null | convert ppm:- -crop "$2" -format '%k' info:)" -gt 2 ]; }
# has_icon WINDOW: the window has its icon (set once its first frame is on screen), which the title
# bar shows.
has_icon() { ! xprop -id "$1" -len 4 _NET_WM_ICON | grep -q 'not found'; }

e2e_wait 5 has_icon "$W" || e2e_fail "the main window has no icon"
e2e_steady_screenshot "$F" "$out/face-awake.png"
e2e_log "awake"

# Leggi: a text typed into its box (the pointer leaves the window, so no tooltip shows).
e2e_click_at "$W" 110 360
xdotool type --delay 20 "Vespelinda legge ad alta voce il testo che scrivi o incolli qui. Premi Leggi per ascoltarlo!"
xdotool mousemove 1000 700
e2e_wait 5 shows_text "$W" 150x10+30+301 || e2e_fail "the typed text is not in the box"
e2e_steady_screenshot "$F" "$out/leggi.png"
e2e_log "Leggi page"

# Calendario: its tab, the second of the strip.
e2e_show_page "$W" Calendario || e2e_fail "the Calendario tab did not bring its page"
xdotool mousemove 1000 700
e2e_steady_screenshot "$F" "$out/calendario.png"
e2e_log "Calendario page"

# The address book: its tab, the first entry; then "Aggiungi nuovo" with a name and a number typed.
e2e_show_page "$W" Rubrica || e2e_fail "the Rubrica tab did not bring its page"
xdotool mousemove 1000 700
e2e_steady_screenshot "$F" "$out/rubrica.png"
xdotool key alt+a
# A mnemonic clicks its button after a short flash: then the caret is in the name.
e2e_wait 3 e2e_field_focused "$W" 100 387 || e2e_fail "\"Aggiungi nuovo\" did not put the caret in the name"
xdotool type --delay 20 "Anna Bianchi"
xdotool key Tab
xdotool type --delay 20 "02 7654321"
e2e_wait 5 shows_text "$W" 40x8+30+432 || e2e_fail "the typed number is not in its box"
e2e_steady_screenshot "$F" "$out/rubrica-entry.png"
e2e_log "address book"
xdotool key alt+a # "Annulla"
e2e_show_page "$W" Leggi || e2e_fail "the Leggi tab did not bring its page"

# The appointment and the reminder windows, from the Agenda page's buttons: the list, then the
# new-entry panel (Alt+A) with something typed; Esc leaves the panel, Esc again closes the window.
e2e_show_page "$W" Agenda || e2e_fail "the Agenda tab did not bring its page"
manager()
{
    local button_y=$1 title=$2 name=$3 time=$4 text=$5 time_x=$6 time_y=$7 typed=$8 M
    e2e_click_at "$W" 114 "$button_y"
    e2e_wait 5 xdotool search --all --pid "$APP_PID" --name "^$title\$" || e2e_fail "no window $title"
    M=$(xdotool search --all --pid "$APP_PID" --name "^$title\$" | head -n1)
    xdotool mousemove 1000 700
    e2e_wait 5 e2e_takes_keys "$M" || e2e_fail "$title did not take the keyboard"
    e2e_steady_screenshot "$(frame "$M")" "$out/$name.png"
    xdotool key alt+a
    # After the button's short flash, the caret is in the time (the top edge of its box at
    # time_x, time_y); the text typed last shows inside its box at typed.
    e2e_wait 3 e2e_field_focused "$M" "$time_x" "$time_y" || e2e_fail "\"Aggiungi nuovo\" did not put the caret in the time"
    xdotool type --delay 40 "$time"
    xdotool key Tab
    [ "$name" = appuntamenti ] && xdotool key Tab Tab Tab
    xdotool type --delay 20 "$text"
    e2e_wait 5 shows_text "$M" "$typed" || e2e_fail "the typed text is not in its box"
    e2e_steady_screenshot "$(frame "$M")" "$out/$name-nuovo.png"
    xdotool key Escape Escape
    e2e_wait 5 e2e_not xdotool search --all --pid "$APP_PID" --name "^$title\$" || e2e_fail "$title did not close"
    e2e_log "$title"
}
manager 482 "Programma appuntamenti" appuntamenti 17.45 "Telefonare a Giulia" 120 89 40x8+120+118
manager 506 "Programma promemoria giornalieri" promemoria 13.00 "Pranzo" 150 98 40x8+140+127
e2e_show_page "$W" Leggi || e2e_fail "the Leggi tab did not bring its page" # back to the first tab
xdotool mousemove 1000 700

# Asleep "Secondi inatt" seconds after the last pointer movement (plus up to the heartbeat's second):
# the eyes closed, and still closed in a second capture, which a blink (50 ms) never is.
eyes_closed() { e2e_pixel_is "$W" 48 56 "srgb(249,205,169)" && e2e_pixel_is "$W" 166 60 "srgb(249,204,168)"; }
asleep() { eyes_closed && eyes_closed; }
e2e_wait 30 asleep || e2e_fail "the face did not fall asleep"
e2e_steady_screenshot "$F" "$out/face-asleep.png"
e2e_log "asleep"

# "Nascondi comandi" from the face's menu (its last item).
eval "$(xdotool getwindowgeometry --shell "$W")"
unfolded=$HEIGHT
folded() { eval "$(xdotool getwindowgeometry --shell "$W")" && [ "$HEIGHT" -lt "$unfolded" ]; }
e2e_click_at "$W" 100 120 3
e2e_wait 5 e2e_popup_menu_shown || e2e_fail "the face's menu did not open"
xdotool key Up Return
xdotool mousemove 1000 700
e2e_wait 5 folded || e2e_fail "the window did not fold to the face"
e2e_steady_screenshot "$F" "$out/face-folded.png"
e2e_log "folded"

# "Info" from the face's menu (its second item) opens the About window.
e2e_click_at "$W" 100 120 3
e2e_wait 5 e2e_popup_menu_shown || e2e_fail "the face's menu did not open"
xdotool key Down Down Return
xdotool mousemove 1000 700
about_window() { xdotool search --all --pid "$APP_PID" --name '^Informazioni su Vespelinda$' | head -n1; }
about_open() { [ -n "$(about_window)" ]; }
e2e_wait 5 about_open || e2e_fail "the About window did not open"
A=$(about_window)
e2e_wait 5 e2e_viewable "$A" || e2e_fail "the About window is not shown"
e2e_wait 5 e2e_takes_keys "$A" || e2e_fail "the About window did not take the keyboard"
e2e_steady_screenshot "$(frame "$A")" "$out/about.png"
e2e_log "about"
xdotool windowactivate --sync "$A" key Escape
e2e_wait 5 e2e_not about_open || e2e_fail "the About window did not close"

# "Opzioni" from the face's menu (its third item).
e2e_click_at "$W" 100 120
e2e_wait 5 e2e_popup_menu_shown || e2e_fail "the face's menu did not open"
xdotool key Down Down Down Return
options_open() { xdotool search --all --pid "$APP_PID" --name '^Opzioni$' | grep -q .; }
e2e_wait 5 options_open || e2e_fail "the options window did not open"
O=$(xdotool search --all --pid "$APP_PID" --name '^Opzioni$' | head -n1)
xdotool mousemove 1000 700
e2e_wait 5 e2e_viewable "$O" || e2e_fail "the options window is not shown"
e2e_wait 5 e2e_takes_keys "$O" || e2e_fail "the options window did not take the keyboard"
e2e_steady_screenshot "$(frame "$O")" "$out/options.png"
e2e_log "options"

# "Opzioni voce" in the options window opens the voice dialog.
e2e_click_at "$O" 140 352
voice_window() { xdotool search --all --pid "$APP_PID" --name '^Opzioni voce$' | head -n1; }
voice_open() { [ -n "$(voice_window)" ]; }
e2e_wait 5 voice_open || e2e_fail "the voice dialog did not open"
V=$(voice_window)
e2e_wait 5 e2e_viewable "$V" || e2e_fail "the voice dialog is not shown"
xdotool mousemove 1000 700
e2e_wait 5 e2e_takes_keys "$V" || e2e_fail "the voice dialog did not take the keyboard"
e2e_steady_screenshot "$(frame "$V")" "$out/voice.png"
e2e_log "voice"
e2e_log "pictures in $out"
e2e_pass
