#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Two appointments fall due a few seconds into the reading of a long text. The first announcement
# is heard at once, with its box, and the reading then carries on while the box is still open.
# Closing the box brings the second announcement; "&Stop" on the reading page while it is being
# said stops the reading for good, and the announcement is still said to its end.
. "$(dirname "$0")/e2e-lib.sh"

e2e_setup "${1:?usage: $0 path/to/Vespelinda}"
e2e_start_desktop
e2e_start_sound
e2e_quiet_settings

e2e_minute_ahead 25
due=$DUE
when="'$(date -d "@$due" +%F)T00:00:00', '1899-12-30T$(date -d "@$due" +%H:%M):00'"
sqlite3 "$APP_DIR/dati.mdb" <<SQL || e2e_fail "cannot write dati.mdb"
INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES ($when, 'ritirare le analisi');
INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES ($when, 'chiamare la farmacia per la ricetta della nonna');
SQL
first="Sono le $(date -d "@$due" +%-H) e $(date -d "@$due" +%-M). . ritirare le analisi."
second="Sono le $(date -d "@$due" +%-H) e $(date -d "@$due" +%-M). . chiamare la farmacia per la ricetta della nonna."

E2E_LOGGING="vespelinda.speech.queue=true"
e2e_start_app
W=$(e2e_wait_main_window 15) || e2e_fail "the main window did not appear"
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the main window is not shown"
e2e_start_recording "$E2E_DIR/sound.raw"

sentence="Il treno per Trieste partiva alle sette di mattina e la nonna voleva arrivare in stazione con largo anticipo. "
text=""
for _ in 1 2 3 4 5 6 7 8; do text+=$sentence; done
printf '%s' "$text" | xclip -selection clipboard 2>/dev/null
xdotool mousemove --window "$W" 110 360 click 1
xdotool key ctrl+v
e2e_wait 30 e2e_clock_reached $((due - 4)) || e2e_fail "the clock did not reach the minute"
xdotool key Return
e2e_wait_speech "Il treno per Trieste" 5 || e2e_fail "the reading did not start"
e2e_wait 5 e2e_sound_playing || e2e_fail "the reading is not heard"
e2e_log "reading"

boxes() { xdotool search --all --pid "$APP_PID" --name '^(Promemoria|Appuntamento)!!$' 2>/dev/null; }
# queue_line_after TEXT PATTERN: the first queue log line matching PATTERN after the logged TEXT.
queue_line_after() { awk -v text="vespelinda.speech: $1" -v pattern="$2" '$0 == text { seen = 1 } seen && $0 ~ pattern { print; exit }' "$SPEECH_LOG"; }
queue_seen() { [ -n "$(queue_line_after "$1" "$2")" ]; }
# box_other_than [BOX]: a box of the program is on screen, other than BOX.
box_other_than() { [ -n "$(boxes)" ] && [ "$(boxes | head -n1)" != "${1:-}" ]; }
# seconds: the clock, in seconds with decimals.
seconds() { date +%s.%N; }

e2e_wait 15 box_other_than || e2e_fail "no box for the first appointment"
box_at=$(seconds)
box_in_recording=$(e2e_recorded_seconds)
B=$(boxes | head -n1)
e2e_spoken "$first" || e2e_fail "the first appointment's box came without its text"
e2e_wait 3 queue_seen "$first" 'set aside' || e2e_fail "the reading was not set aside"
e2e_wait 3 queue_seen "$first" 'heard$' || e2e_fail "the announcement was not heard within 3 s"
heard_at=$(seconds)
delay=$(awk -v a="$box_at" -v b="$heard_at" 'BEGIN { printf "%.2f", b - a }')
e2e_log "the announcement was heard ${delay} s after its box appeared"
awk -v d="$delay" 'BEGIN { exit !(d <= 2) }' || e2e_fail "heard ${delay} s after its box"
announcement_id=$(queue_line_after "$first" 'heard$' | awk '{ print $3 }')
e2e_wait 15 grep -qx "vespelinda.speech.queue: text $announcement_id spoken" "$SPEECH_LOG" ||
    e2e_fail "the announcement was not said to its end"
e2e_wait 3 queue_seen "$first" 'taken up again' || e2e_fail "the reading did not carry on"
e2e_wait 3 e2e_sound_playing || e2e_fail "the reading carried on in silence"
# What the sink played between the box and the reading's return: the announcement, loud.
loud=$(od -An -v -td2 -w2 -j $(awk -v s="$box_in_recording" 'BEGIN { printf "%d", s * 44100 / 2 * 2 }') "$E2E_DIR/sound.raw" |
    awk '{ v = $1 < 0 ? -$1 : $1; if (v > 1000) n++ } END { print n + 0 }')
[ "$loud" -gt 11025 ] || e2e_fail "the announcement was not heard on the sink ($loud loud samples)"
[ "$(boxes)" = "$B" ] || e2e_fail "the first box did not stay while the reading went on"

# The second announcement, then Stop on the reading page while it is said.
e2e_press_key "$B" Return || e2e_fail "the box does not take the keyboard"
e2e_wait 5 box_other_than "$B" || e2e_fail "no box for the second appointment"
B2=$(boxes | head -n1)
e2e_spoken "$second" || e2e_fail "the second appointment's box came without its text"
e2e_wait 3 queue_seen "$second" 'heard$' || e2e_fail "the second announcement was not heard"
second_id=$(queue_line_after "$second" 'heard$' | awk '{ print $3 }')
e2e_press_key "$B2" Return || e2e_fail "the second box does not take the keyboard"
e2e_wait 3 e2e_not xdotool search --all --pid "$APP_PID" --name '^(Promemoria|Appuntamento)!!$' || e2e_fail "the second box did not close"
e2e_press_key "$W" alt+s || e2e_fail "the main window did not take the keyboard back"
stopped_at_line=$(wc -l <"$SPEECH_LOG")
grep -qx "vespelinda.speech.queue: text $second_id spoken" "$SPEECH_LOG" &&
    e2e_fail "the second announcement ended before Stop was pressed: nothing was tested"
e2e_wait 15 grep -qx "vespelinda.speech.queue: text $second_id spoken" "$SPEECH_LOG" ||
    e2e_fail "Stop on the reading page cut the announcement"
e2e_log "the second announcement was said to its end after Stop"
# The reading would be taken up in the same step that ends the announcement, logged before it.
e2e_wait 5 e2e_not e2e_sound_playing || e2e_fail "the reading went on after Stop"
tail -n +"$stopped_at_line" "$SPEECH_LOG" | grep -q "taken up again" && e2e_fail "the reading was taken up after Stop"
e2e_app_running || e2e_fail "the program ended"
e2e_pass
