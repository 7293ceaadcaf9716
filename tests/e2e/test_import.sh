#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Importing with the real program: while it runs, `Vespelinda agenda.ics rubrica.vcf` (names relative
# to where it is started) hands both files to it and ends at once with status 0. The running copy
# stores the appointment of a coming minute and the contact in dati.mdb as it stores what the user
# types, says and shows what it imported, lights the appointment's hour on the Agenda page and
# announces it at its time. The face's menu offers "Importa..." and "Esporta...".
#   test_import.sh path/to/Vespelinda [FOLDER]   (with a folder: a picture of the menu is left there)
. "$(dirname "$0")/e2e-lib.sh"

e2e_setup "${1:?usage: $0 path/to/Vespelinda [folder for a picture of the menu]}"
pictures=${2:-}
e2e_start_desktop
e2e_quiet_settings

# The clock 40 s before a minute begins: the imported appointment of that minute falls due soon.
e2e_minute_ahead 40
due_date=$(date -d "@$DUE" +%F)
hour=$(date -d "@$DUE" +%-H)
minute=$(date -d "@$DUE" +%-M)
e2e_log "the appointment is at $hour:$minute of $due_date"

e2e_start_app
W=$(e2e_wait_main_window 15) || e2e_fail "the main window did not appear"
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the main window is not shown"
e2e_wait 5 e2e_takes_keys "$W" || e2e_fail "the main window did not take the focus"

# The face's menu with its two new items (the picture for the documentation, when asked for).
e2e_click_at "$W" 100 120 3
e2e_wait 5 e2e_popup_menu_shown || e2e_fail "the face's menu did not open"
if [ -n "$pictures" ]; then
    xdotool key Down Down Down Down # on "Importa..."
    menu_picture() { import -window root "$E2E_DIR/screen.png" 2>/dev/null; }
    e2e_wait 5 menu_picture || e2e_fail "no picture of the screen"
    # The window with its title bar, down to the menu's lower edge and across to its right one.
    frame=$W
    while parent=$(xwininfo -children -id "$frame" | awk '/Parent window id/ {print $4}') &&
        [ "$parent" != "$(xwininfo -root | awk '/Window id/ {print $4}')" ]; do
        frame=$parent
    done
    eval "$(xdotool getwindowgeometry --shell "$frame")"
    left=$X top=$Y
    root=$(xwininfo -root | awk '/Window id/ {print $4}')
    for id in $(xdotool search --pid "$APP_PID" 2>/dev/null); do
        # The menu: a window of its own on the root window, that the window manager leaves alone.
        xwininfo -id "$id" | grep -q 'Override Redirect State: yes' && e2e_viewable "$id" &&
            [ "$(xwininfo -children -id "$id" | awk '/Parent window id/ {print $4}')" = "$root" ] || continue
        eval "$(xdotool getwindowgeometry --shell "$id")"
        right=$((X + WIDTH + 2)) bottom=$((Y + HEIGHT + 2))
    done
    mkdir -p "$pictures"
    convert "$E2E_DIR/screen.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
        "$pictures/menu-importa.png" || e2e_fail "cannot write $pictures/menu-importa.png"
    e2e_log "picture of the menu in $pictures/menu-importa.png"
fi
xdotool key Escape
e2e_wait 5 e2e_not e2e_popup_menu_shown || e2e_fail "the menu did not close"

work=$E2E_DIR/documenti
mkdir -p "$work"
cat >"$work/agenda.ics" <<ICS
BEGIN:VCALENDAR
VERSION:2.0
PRODID:-//Prova//Agenda//IT
BEGIN:VEVENT
UID:prova-1@example.it
DTSTAMP:$(date -u +%Y%m%dT%H%M%SZ)
DTSTART:$(date -d "@$DUE" +%Y%m%dT%H%M00)
DTEND:$(date -d "@$((DUE + 1800))" +%Y%m%dT%H%M00)
SUMMARY:Visita dal dentista
END:VEVENT
END:VCALENDAR
ICS
printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Lucia D'"'"'Amico\r\nTEL;TYPE=CELL:+39 333 1234567\r\nEMAIL:lucia@example.it\r\nEND:VCARD\r\n' \
    >"$work/rubrica.vcf"

# A second start with the two files, from their folder: it hands them over and ends.
start=$(date +%s%N)
(cd "$work" && QT_LOGGING_RULES="vespelinda.speech=true" timeout 20 "$APP_EXE" agenda.ics rubrica.vcf) \
    >"$E2E_DIR/second.log" 2>&1
status=$?
took=$((($(date +%s%N) - start) / 1000000))
e2e_log "second start ended with status $status after ${took} ms"
[ "$status" = 0 ] || e2e_fail "the second start ended with status $status: $(cat "$E2E_DIR/second.log")"

# The outcome, said and shown in a box of its own.
report="Ho importato 1 appuntamento e 1 contatto."
e2e_wait 10 e2e_spoken "$report" || e2e_fail "the import's outcome was not said"
boxes() { xdotool search --all --pid "$APP_PID" --name '^Vespelinda$' 2>/dev/null | grep -vx "$W"; }
one_box() { [ "$(boxes | wc -l)" = 1 ] && boxes; }
e2e_wait 5 one_box || e2e_fail "no box with the import's outcome"
B=$(one_box)

# Stored as the program stores what the user types.
rows=$(sqlite3 "$APP_DIR/dati.mdb" "SELECT Data, Ora, Testo FROM Appuntamenti")
[ "$rows" = "${due_date}T00:00:00|1899-12-30T$(date -d "@$DUE" +%H:%M):00|Visita dal dentista" ] ||
    e2e_fail "the appointment is stored as: $rows"
rows=$(sqlite3 "$APP_DIR/dati.mdb" "SELECT Nome, Telefono, Email FROM Rubrica")
[ "$rows" = "Lucia D'Amico|+39 333 1234567|lucia@example.it" ] || e2e_fail "the contact is stored as: $rows"

e2e_press_key "$B" Return || e2e_fail "the box does not take the keyboard"
e2e_wait 5 e2e_not one_box || e2e_fail "the box did not close"

# The Agenda page lights the appointment's hour.
e2e_show_page "$W" Agenda || e2e_fail "the Agenda tab did not bring its page"
letter_colour()
{
    local h=$1
    local left=(510 1540 2580) # the "A" of each column of hours
    local x=$((${left[h / 8]} / 15 + 8 + 4))
    local y=$((288 + 48 + 16 * (h % 8) + 4))
    e2e_pixel "$W" "$x" "$y"
}
lit() { [ "$(letter_colour "$1")" = "srgb(0,255,0)" ]; }
e2e_wait 5 lit "$hour" || e2e_fail "A $hour is not lit: $(letter_colour "$hour")"

# Announced at its time.
said="Sono le $hour e $minute. . Visita dal dentista."
e2e_wait $((DUE - $(date +%s) + 10)) e2e_spoken "$said" || e2e_fail "the imported appointment was not announced"
e2e_clock_reached "$DUE" || e2e_fail "announced before its time"
announcement() { xdotool search --all --pid "$APP_PID" --name '^Appuntamento!!$' 2>/dev/null | head -n1; }
e2e_wait 5 announcement || e2e_fail "no announcement box"
e2e_press_key "$(announcement)" Return || e2e_fail "the announcement box does not take the keyboard"
e2e_app_running || e2e_fail "the program ended"
e2e_pass
