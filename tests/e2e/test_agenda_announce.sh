#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program announces the appointments of today: two stored in dati.mdb for a coming minute
# light their "A" on the Agenda page at start-up and are announced, spoken and each in a box titled
# "Appuntamento!!" or "Promemoria!!", the first at second 1 or 2 of its minute, the second when the user closes the
# first box, even while the window sits in the tray. An appointment of tomorrow at the same minute
# is neither lit nor announced.
. "$(dirname "$0")/e2e-lib.sh"

e2e_setup "${1:?usage: $0 path/to/Vespelinda}"
e2e_start_desktop
e2e_settings "Carica avvio" 0 "Tipo iniziale" Nessuno "Tipo finale" Standard "Riduci icona" 0 \
    "Leggi errore" 1 "Automin" 0 "Mess Min" 0 "Secondi inatt" 300

# The clock (the program's and this script's) is set 12 s before a minute begins: the appointment
# of that minute falls due without waiting for the real one.
real=$(date +%s)
due=$(((real / 60 + 2) * 60)) # the start of a minute
e2e_fake_clock $((due - 12 - real))
due_date=$(date -d "@$due" +%F)
hour=$(date -d "@$due" +%-H)
minute=$(date -d "@$due" +%-M)
other_hour=$(((hour + 5) % 24))
sqlite3 "$APP_DIR/dati.mdb" <<SQL || e2e_fail "cannot write dati.mdb"
INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES ('${due_date}T00:00:00', '1899-12-30T$(date -d "@$due" +%H:%M):00', 'riunione con l''avvocato');
INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES ('${due_date}T00:00:00', '1899-12-30T$(date -d "@$due" +%H:%M):00', 'telefonare a Carla');
INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES ('$(date -d "@$((due + 86400))" +%F)T00:00:00', '1899-12-30T$(date -d "@$due" +%H:%M):00', 'domani');
INSERT INTO Promemoria (Ora, Testo) VALUES ('1899-12-30T$(printf %02d "$other_hour"):15:00', 'medicina');
SQL
e2e_log "appointment at $hour:$minute of $due_date"

e2e_start_app
W=$(e2e_wait_main_window 15) || e2e_fail "the main window did not appear"
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the main window is not shown"
e2e_wait 5 e2e_takes_keys "$W" || e2e_fail "the main window did not take the focus"

# The Agenda tab (at least its left part is always in sight), then the letters: within a second
# of start-up the timeline is loaded, all of it in one paint.
e2e_show_page "$W" Agenda || e2e_fail "the Agenda tab did not bring its page"
capture() { import -window "$W" "$E2E_DIR/window.png" 2>/dev/null; }
pixel() { convert "$E2E_DIR/window.png" -format "%[pixel:p{$1,$2}]" info:; }
letter_colour()
{
    local kind=$1 h=$2
    local left=(510 1540 2580) # "A"; "P" is 240 twips further right
    local x=$(((${left[h / 8]} + (kind == 1 ? 240 : 0)) / 15 + 8 + 4))
    local y=$((288 + 48 + 16 * (h % 8) + 4))
    pixel "$x" "$y"
}
lit_in_capture() { capture && [ "$(letter_colour "$1" "$2")" = "srgb(0,255,0)" ]; }
e2e_wait 5 lit_in_capture 0 "$hour" || e2e_fail "A $hour is not lit: $(letter_colour 0 "$hour")"
[ "$(letter_colour 1 "$other_hour")" = "srgb(0,255,0)" ] || e2e_fail "P $other_hour is not lit"
[ "$(letter_colour 0 "$(((hour + 1) % 24))")" = "srgb(255,255,255)" ] || e2e_fail "A $(((hour + 1) % 24)) is lit"
[ "$(letter_colour 1 "$hour")" = "srgb(255,255,255)" ] || e2e_fail "P $hour is lit"
readout=$(convert "$E2E_DIR/window.png" -crop 197x17+16+304 -format '%k' info:)
[ "$readout" -gt 1 ] || e2e_fail "the date-and-time readout is blank"
cp "$E2E_DIR/window.png" "$E2E_DIR/agenda-page.png"

# Away into the notification area until the appointment falls due.
icon=$(e2e_wait_tray_icon 10) || e2e_fail "no tray icon"
e2e_click "$icon"
e2e_wait 5 e2e_not e2e_viewable "$W" || e2e_fail "the window did not hide"

first="Sono le $hour e $minute. . riunione con l'avvocato."
second="Sono le $hour e $minute. . telefonare a Carla."
e2e_wait $((due - $(date +%s) + 10)) e2e_spoken "$first" || e2e_fail "not announced"
seen=$(date +%s.%N)
sec=$(date -d "@${seen%.*}" +%-S)
e2e_log "announced at second $sec of $hour:$minute (seen $(date -d "@${seen%.*}" +%T).${seen#*.})"
[ "${seen%.*}" -ge "$due" ] && { [ "$sec" = 1 ] || [ "$sec" = 2 ]; } || e2e_fail "announced at the wrong time"

boxes() { xdotool search --all --pid "$APP_PID" --name '^(Promemoria|Appuntamento)!!$' 2>/dev/null; }
# one_box [NOT]: prints the id of the only box on screen, other than NOT.
one_box() { [ "$(boxes | wc -l)" = 1 ] && [ "$(boxes)" != "${1:-}" ] && boxes; }
e2e_wait 3 one_box || e2e_fail "no announcement box"
B=$(one_box)
e2e_viewable "$W" || e2e_fail "the hidden window was not shown for the announcement"
import -window root "$E2E_DIR/announcement.png" 2>/dev/null

# The box stays open past the entry's two seconds: still one box, said once, the second waiting.
e2e_wait 5 test "$(date +%s)" -ge $((due + 4))
[ "$(one_box)" = "$B" ] || e2e_fail "$(boxes | wc -l) boxes"
[ "$(e2e_spoken_count "$first")" = 1 ] || e2e_fail "said $(e2e_spoken_count "$first") times"
grep -q "telefonare" "$SPEECH_LOG" && e2e_fail "the second appointment did not wait for the first box"

# Closed as a user does, with Return on the box: the second appointment follows in a box of its own.
e2e_press_key "$B" Return || e2e_fail "the box does not take the keyboard"
e2e_wait 5 one_box "$B" || e2e_fail "no second box after the first"
B2=$(one_box "$B")
e2e_spoken "$second" || e2e_fail "the second appointment was not said with its box"
e2e_viewable "$W" || e2e_fail "the window was hidden between the two announcements"
# The box is answered, never closed by itself: still there two whole seconds of the clock later
# (the heartbeat waits for it meanwhile).
e2e_wait 5 e2e_clock_reached $(($(date +%s) + 3))
[ "$(one_box "$B")" = "$B2" ] || e2e_fail "the second box did not stay"
e2e_press_key "$B2" Return || e2e_fail "the second box does not take the keyboard"
e2e_wait 5 e2e_not one_box || e2e_fail "the box did not close"
e2e_wait 5 e2e_not e2e_viewable "$W" || e2e_fail "the window was not hidden again"

# Three beats of the heartbeat after the boxes, nothing has been announced again. Each beat sets
# the date-and-time readout, to the second: the window is brought back from the tray to see it.
readout() { import -window "$W" ppm:- 2>/dev/null | convert ppm:- -crop 197x17+16+304 ppm:- | md5sum; }
readout_changed() { [ "$(readout)" != "$1" ]; }
heartbeats()
{
    local i before
    for ((i = 0; i < $1; i++)); do
        before=$(readout)
        e2e_wait 3 readout_changed "$before" || return 1
    done
}
e2e_click "$icon"
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the icon did not bring the window back"
e2e_wait 5 e2e_page_shown "$W" Agenda || e2e_fail "the window came back without its Agenda page"
heartbeats 3 || e2e_fail "the agenda's heartbeat stopped after the boxes"
[ "$(e2e_spoken_count "$first")" = 1 ] && [ "$(e2e_spoken_count "$second")" = 1 ] ||
    e2e_fail "announced again after the boxes"
grep -q "domani" "$SPEECH_LOG" && e2e_fail "tomorrow's appointment was announced"
e2e_app_running || e2e_fail "the program ended"
e2e_pass
