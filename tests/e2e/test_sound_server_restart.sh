#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The sound server goes away while the program speaks and while it is idle, and comes back: the
# program stays up, speaks silently meanwhile (an appointment that falls due then still gets its
# box and its spoken text), and is heard again once the server is back, without a restart.
. "$(dirname "$0")/e2e-lib.sh"

e2e_setup "${1:?usage: $0 path/to/Vespelinda}"
e2e_start_desktop
e2e_start_sound
e2e_quiet_settings

# An appointment falls due about 40 s from now (the clock is moved, timers keep the real pace).
e2e_minute_ahead 40
due=$DUE
sqlite3 "$APP_DIR/dati.mdb" <<SQL || e2e_fail "cannot write dati.mdb"
INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES ('$(date -d "@$due" +%F)T00:00:00', '1899-12-30T$(date -d "@$due" +%H:%M):00', 'chiamare il tecnico');
SQL

E2E_LOGGING="vespelinda.speech.queue=true"
e2e_start_app
W=$(e2e_wait_main_window 15) || e2e_fail "the main window did not appear"
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the main window is not shown"

# say TEXT: types TEXT into the reading box (emptied first) and reads it with Enter.
say()
{
    xdotool mousemove --window "$W" 110 360 click 1
    xdotool key ctrl+a BackSpace
    xdotool type --delay 5 "$1"
    xdotool key Return
    e2e_wait_speech "$1" 5 || e2e_fail "\"$1\" was not read"
}

# texts_ended N: N texts have been played to their end (aloud or in silence).
texts_ended() { [ "$(grep -c '^vespelinda.speech.queue: text [0-9]* spoken$' "$SPEECH_LOG")" -ge "$1" ]; }

# heard: the recording since e2e_start_recording holds speech.
heard()
{
    od -An -v -td2 -w2 "$E2E_RECORDING" | awk '{ v = $1 < 0 ? -$1 : $1; if (v > 1000) n++ } END { exit !(n > 2205) }'
}

# 1. Killed while speaking: the reading goes on silently to its end.
say "Questa lettera e abbastanza lunga da essere ancora letta quando il server del suono se ne va all'improvviso."
e2e_wait 5 e2e_sound_playing || e2e_fail "the reading never reached the sound server"
pulseaudio --kill
e2e_wait 10 e2e_not pactl info || e2e_fail "pulseaudio did not end"
e2e_log "sound server killed while speaking"
e2e_wait 10 grep -q "no sound server: speaking silently" "$SPEECH_LOG" || e2e_fail "the lost server is not logged"
e2e_wait 15 texts_ended 1 || e2e_fail "the reading cut by the server's end never ended"
e2e_app_running || e2e_fail "the program ended when the sound server went away while it spoke"
say "Adesso parlo in silenzio."
e2e_wait 10 texts_ended 2 || e2e_fail "a text without a sound server never ended"
e2e_app_running || e2e_fail "the program ended speaking without a sound server"

# Back again: the next text is heard.
e2e_start_sound
e2e_start_recording "$E2E_DIR/back1.raw"
say "Di nuovo con la voce."
e2e_wait 10 heard || e2e_fail "the first text after the server came back was not heard"
e2e_log "heard again after the first restart"

# 2. Killed while idle; the appointment falls due meanwhile.
e2e_wait 10 e2e_not e2e_sound_playing
pulseaudio --kill
e2e_wait 10 e2e_not pactl info || e2e_fail "pulseaudio did not end"
e2e_log "sound server killed while idle"
announcement="Sono le $(date -d "@$due" +%-H) e $(date -d "@$due" +%-M). . chiamare il tecnico."
e2e_wait $((due - $(date +%s) + 10)) e2e_spoken "$announcement" || e2e_fail "the appointment was not announced"
box=$(e2e_wait 5 xdotool search --all --pid "$APP_PID" --name '^(Promemoria|Appuntamento)!!$' && xdotool search --all --pid "$APP_PID" --name '^(Promemoria|Appuntamento)!!$' | head -n1)
[ -n "$box" ] || e2e_fail "no box for the appointment"
e2e_app_running || e2e_fail "the program ended announcing without a sound server"
e2e_press_key "$box" Return || e2e_fail "the box does not take the keyboard"
e2e_wait 5 e2e_not xdotool search --all --pid "$APP_PID" --name '^(Promemoria|Appuntamento)!!$' || e2e_fail "the box did not close"

e2e_start_sound
e2e_start_recording "$E2E_DIR/back2.raw"
say "E ancora una volta."
e2e_wait 10 heard || e2e_fail "the first text after the second restart was not heard"
e2e_log "heard again after the second restart"
e2e_app_running || e2e_fail "the program ended"
e2e_pass
