#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Another program (sqlite3) adds an appointment for the coming minute, then holds the data file
# locked until the program has logged that it waited 5 s for it. The running program reads the change once the lock is gone and announces the
# appointment on time, at second 1 or 2 of its minute.
. "$(dirname "$0")/e2e-lib.sh"

e2e_setup "${1:?usage: $0 path/to/Vespelinda}"
e2e_start_desktop
e2e_quiet_settings

e2e_minute_ahead 40
due=$DUE
e2e_start_app
W=$(e2e_wait_main_window 15) || e2e_fail "the main window did not appear"
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the main window is not shown"

e2e_wait 40 e2e_clock_reached $((due - 30)) || e2e_fail "the clock did not move"
text="passare in posta"
announcement="Sono le $(date -d "@$due" +%-H) e $(date -d "@$due" +%-M). . $text."
{
    echo "INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES ('$(date -d "@$due" +%F)T00:00:00', '1899-12-30T$(date -d "@$due" +%H:%M):00', '$text');"
    echo "BEGIN EXCLUSIVE; SELECT 'locked';"
    # The fault itself: the lock held until the program has said it has waited 5 s for it.
    e2e_wait 20 grep -q "locked by another program" "$SPEECH_LOG"
    echo "COMMIT;"
} | sqlite3 "$APP_DIR/dati.mdb" >"$E2E_DIR/sqlite3.log" 2>&1 &
writer=$!
e2e_wait 5 grep -q locked "$E2E_DIR/sqlite3.log" || e2e_fail "sqlite3 did not take the lock"
e2e_log "sqlite3 added the appointment and holds the file locked"
wait "$writer" || e2e_fail "sqlite3 failed: $(cat "$E2E_DIR/sqlite3.log")"
e2e_log "sqlite3 let go of the file"
grep -q "locked by another program" "$SPEECH_LOG" || e2e_fail "the long lock was not logged"
e2e_app_running || e2e_fail "the program ended"

e2e_wait $((due - $(date +%s) + 10)) e2e_spoken "$announcement" || e2e_fail "the appointment was never announced"
seen=$(date +%s)
sec=$(date -d "@$seen" +%-S)
e2e_log "announced at second $sec of its minute"
[ "$seen" -ge "$due" ] && [ "$sec" -le 2 ] || e2e_fail "announced late, at $(date -d "@$seen" +%T)"
e2e_wait 5 xdotool search --all --pid "$APP_PID" --name '^(Promemoria|Appuntamento)!!$' || e2e_fail "no box for the appointment"
e2e_pass
