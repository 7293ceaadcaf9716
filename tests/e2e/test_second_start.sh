#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One running copy per user: started again while hidden in the notification area, the program
# brings its window back, active, and the second start ends at once with status 0, without a second
# greeting or process. A copy killed with SIGKILL leaves its lock behind; the next start still
# starts and greets.
. "$(dirname "$0")/e2e-lib.sh"

e2e_setup "${1:?usage: $0 path/to/Vespelinda}"
e2e_start_x
e2e_start_wm
e2e_start_tray
e2e_settings "Carica avvio" 0 "Tipo iniziale" Personalizzato "Messaggio iniziale" "Eccomi." \
    "Tipo finale" Standard "Riduci icona" 0 "Leggi errore" 0 "Automin" 0 "Mess Min" 0 "Secondi inatt" 60
xdotool mousemove 600 700

# Processes running this copy of the program.
copies() { for exe in /proc/[0-9]*/exe; do [ "$(readlink "$exe" 2>/dev/null)" = "$APP_EXE" ] && echo x; done | wc -l; }

e2e_start_app
W=$(e2e_wait_main_window 15) || e2e_fail "the main window did not appear"
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the main window is not shown"
ICON=$(e2e_wait_tray_icon 10) || e2e_fail "no icon in the notification area"
e2e_wait_speech "Eccomi." 10 || e2e_fail "no greeting"
e2e_click "$ICON" 1
e2e_wait 5 e2e_not e2e_viewable "$W" || e2e_fail "a click on the icon did not hide the window"

start=$(date +%s%N)
(cd "$APP_DIR" && QT_LOGGING_RULES="vespelinda.speech=true" timeout 20 "$APP_EXE") >"$E2E_DIR/second.log" 2>&1
status=$?
took=$((($(date +%s%N) - start) / 1000000))
e2e_log "second start ended with status $status after ${took} ms"
[ "$status" = 0 ] || e2e_fail "the second start ended with status $status: $(cat "$E2E_DIR/second.log")"
[ "$took" -lt 3000 ] || e2e_fail "the second start took ${took} ms to end"
e2e_wait 5 e2e_viewable "$W" || e2e_fail "the hidden window did not come back"
e2e_wait 5 e2e_takes_keys "$W" || e2e_fail "the window came back without the focus"
[ "$(copies)" = 1 ] || e2e_fail "$(copies) copies are running"
! grep -q "vespelinda.speech" "$E2E_DIR/second.log" || e2e_fail "the second start spoke: $(cat "$E2E_DIR/second.log")"
# A text read from the Leggi page once the window is back: whatever coming forward had to say is
# in the log before it.
e2e_click_at "$W" 110 360
xdotool type --delay 5 "segno"
xdotool key Return
e2e_wait_speech "segno" 5 || e2e_fail "the window that came back does not read its box"
[ "$(e2e_spoken_count "Eccomi.")" = 1 ] || e2e_fail "the greeting was said $(e2e_spoken_count "Eccomi.") times"

# Killed outright: the lock and the socket stay behind, and the next start is not held up by them.
kill -9 "$APP_PID"
e2e_wait 5 e2e_not e2e_app_running || e2e_fail "the program outlived SIGKILL"
ls "$XDG_RUNTIME_DIR"/vespelinda.lock >/dev/null || e2e_fail "no lock file was left to test with"
: >"$SPEECH_LOG"
e2e_start_app
e2e_wait_speech "Eccomi." 10 || e2e_fail "after a killed copy, the program did not start and greet"
W=$(e2e_wait_main_window 10) || e2e_fail "after a killed copy, no main window"
e2e_wait 5 e2e_viewable "$W" || e2e_fail "after a killed copy, the window is not shown"
e2e_pass
