#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program's first start: it writes the default options, shows its window on top with
# its size and colour, and greets aloud. Without a sound server it greets silently and stays
# responsive; with one, the greeting is really heard.
. "$(dirname "$0")/e2e-lib.sh"

e2e_setup "${1:?usage: $0 path/to/Vespelinda}"
e2e_start_x
e2e_start_wm
xdotool mousemove 600 700

# 1. No sound server at all, no settings yet.
e2e_start_app
W=$(e2e_wait_main_window 15) || e2e_fail "the main window did not appear"
# The window exists (found by its name) a moment before it is mapped.
if ! e2e_wait 15 e2e_viewable "$W"; then
    # What the X server and the window manager hold then.
    for id in $(xdotool search --all --pid "$APP_PID" 2>/dev/null); do
        e2e_log "window $id $(xprop -id "$id" WM_NAME 2>/dev/null) $(xwininfo -id "$id" 2>/dev/null | grep 'Map State')"
    done
    e2e_log "managed by the window manager: $(xprop -root _NET_CLIENT_LIST 2>/dev/null)"
    e2e_fail "the main window $W is not shown"
fi
e2e_wait_speech "Buon" 10 || e2e_fail "no greeting"
grep -qE "^vespelinda.speech: Buo(ngiorno|n pomeriggio|nasera|nanotte)\. oggi è il [0-3][0-9]/[01][0-9]/20[0-9][0-9]\. sono le [0-9]+ e [0-9]+ minuti\.$" \
    "$SPEECH_LOG" || e2e_fail "the greeting is not the date-and-time greeting"
e2e_wait_speech "no sound server" 10 || e2e_fail "the missing sound device is not logged"

for pair in "Tipo%20iniziale=DataOra" "Tipo%20finale=Standard" "Carica%20avvio=0" "Riduci%20icona=0" \
    "Leggi%20errore=1" "Automin=0" "Mess%20Min=1" "Secondi%20inatt=15"; do
    grep -qxF "$pair" "$SETTINGS_FILE" || e2e_fail "default $pair not written: $(cat "$SETTINGS_FILE")"
done

eval "$(xdotool getwindowgeometry --shell "$W")"
[ "$WIDTH" = 228 ] && [ "$HEIGHT" = 528 ] || e2e_fail "window is ${WIDTH}x$HEIGHT, not 228x528"
e2e_window_state "$W" | grep -q _NET_WM_STATE_ABOVE || e2e_fail "not kept above: $(e2e_window_state "$W")"
e2e_screenshot "$W" "$E2E_DIR/window.png"
colour=$(convert "$E2E_DIR/window.png" -format '%[pixel:p{110,200}]' info:)
case "$colour" in
"srgb(255,224,207)") ;;
*) e2e_fail "background is $colour, not RGB(255,224,207)" ;;
esac

# Responsive: a close request is answered (the farewell is timed silently, then it ends).
wmctrl -i -c "$W"
e2e_wait_speech "spero di esserti stata utile" 10 || e2e_fail "the close request was not answered"
e2e_wait 15 e2e_not e2e_app_running || e2e_fail "the program did not end after its farewell"

# 2. With a sound server: the greeting is heard.
e2e_start_sound
e2e_start_recording "$E2E_DIR/greeting.raw"
: >"$SPEECH_LOG"
e2e_start_app
e2e_wait_speech "Buon" 10 || e2e_fail "no greeting with sound"
e2e_wait 10 e2e_sound_playing || e2e_fail "the greeting never reached the sound server"
e2e_wait 15 e2e_not e2e_sound_playing
e2e_wait 5 e2e_recorded_silence 0.3 || e2e_fail "the recording does not hold the greeting's end"
audible=$(od -An -v -td2 -w2 "$E2E_DIR/greeting.raw" | awk '{ v = $1 < 0 ? -$1 : $1; if (v > 1000) n++ } END { print n + 0 }')
seconds=$(awk -v n="$audible" 'BEGIN { printf "%.2f", n / 22050 }')
e2e_log "loud samples in the recording: $audible ($seconds s)"
[ "$audible" -gt 22050 ] || e2e_fail "the greeting was not heard (only $audible loud samples)"
grep -q "no sound server" "$SPEECH_LOG" && e2e_fail "it spoke silently although a sound server runs"
e2e_pass
