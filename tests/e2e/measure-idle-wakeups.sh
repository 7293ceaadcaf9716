#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# How often the idle program's user-interface thread wakes up: the real program under Xvfb with a
# notification area and a sound server, left alone, its thread's voluntary context switches
# counted over a stretch of time, first awake (blinking), then asleep.
#   measure-idle-wakeups.sh path/to/Vespelinda [SECONDS]
. "$(dirname "$0")/e2e-lib.sh"

seconds=${2:-30}
e2e_setup "${1:?usage: $0 path/to/Vespelinda [seconds]}"
e2e_start_x
e2e_start_wm
e2e_start_tray
e2e_start_sound
e2e_settings "Carica avvio" 0 "Tipo iniziale" Nessuno "Tipo finale" Standard "Riduci icona" 0 \
    "Leggi errore" 1 "Automin" 0 "Mess Min" 0 "Secondi inatt" $((seconds + 10))
xdotool mousemove 600 700
e2e_start_app
e2e_wait_main_window 15 >/dev/null || e2e_fail "the main window did not appear"
sleep 3

measure()
{
    local before after
    before=$(e2e_gui_ctxt_switches)
    sleep "$seconds"
    after=$(e2e_gui_ctxt_switches)
    awk -v n=$((after - before)) -v s="$seconds" -v what="$1" \
        'BEGIN { printf "%s: %d wake-ups of the user-interface thread in %d s = %.2f per second\n", what, n, s, n / s }'
}

measure "awake, blinking"
# It falls asleep "Secondi inatt" seconds after start (plus up to the heartbeat's second).
sleep 12
measure "asleep"
e2e_pass
