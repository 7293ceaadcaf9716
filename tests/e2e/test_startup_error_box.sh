#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on a real screen with a data file that is not a database: it names the file and
# the problem on stderr and in an error box titled after the program, waits there until the box is
# answered, then ends with status 1, leaving the file as it was.
. "$(dirname "$0")/e2e-lib.sh"

e2e_setup "${1:?usage: $0 path/to/Vespelinda}"
e2e_start_x
e2e_start_wm
printf '\x89PNG\r\n\x1a\n questo non è un database' >"$APP_DIR/dati.mdb"
before=$(sha1sum <"$APP_DIR/dati.mdb")
e2e_start_app

e2e_wait 15 grep -qF "Impossibile aprire il file dei dati $APP_DIR/dati.mdb: il file non è un database SQLite" \
    "$SPEECH_LOG" || e2e_fail "the problem is not named on stderr"
B=$(e2e_wait_main_window 15) || e2e_fail "no error box titled Vespelinda"
e2e_wait 5 e2e_viewable "$B" || e2e_fail "the error box is not shown"
# The box still answers the pointer once it is on screen: its OK button, held down, looks pressed
# (let go away from it, it is not clicked). The program is in the box, waiting.
eval "$(xdotool getwindowgeometry --shell "$B")"
ok_pressed() { e2e_pixel_is "$B" $((WIDTH - 30)) $((HEIGHT - 16)) "srgb(201,209,215)"; }
xdotool mousemove --window "$B" $((WIDTH - 50)) $((HEIGHT - 25)) mousedown 1
e2e_wait 5 ok_pressed || e2e_fail "the error box does not answer the pointer"
xdotool mousemove 600 700 mouseup 1
e2e_app_running || e2e_fail "the program did not wait for the box to be answered"
xdotool windowfocus --sync "$B" key Return
e2e_wait 10 e2e_not e2e_app_running || e2e_fail "answering the box did not end the program"
[ "$(e2e_app_exit_status)" = 1 ] || e2e_fail "the program did not end with status 1"
[ "$(sha1sum <"$APP_DIR/dati.mdb")" = "$before" ] || e2e_fail "the data file was changed"
[ "$(find "$APP_DIR" -newer "$APP_DIR/dati.mdb" -name 'dati*' | wc -l)" = 0 ] || e2e_fail "a file was made beside it"
e2e_pass
