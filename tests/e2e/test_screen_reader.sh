#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program beside the Orca screen reader, in Italian, on a private desktop with a session
# bus and AT-SPI. Orca speaks through speech-dispatcher into the null sink "reader", the program
# with its own Festival voice into "program"; both are recorded, and Orca's debug file says what it
# spoke. A blind user, by keyboard alone:
# - opens the face's menu and hears it with its first item;
# - opens the voice dialog and hears the engine change as the arrows move it;
# - tries the voice ("Ascolta") while Orca announces the focus;
# - hears an appointment falling due read from its box, with its time.
# The two voices take turns: their loud stretches never overlap (beyond the 100 ms it takes to hear
# the reader begin and hold the program's voice).
. "$(dirname "$0")/e2e-lib.sh"

e2e_setup "${1:?usage: $0 path/to/Vespelinda}"
command -v orca >/dev/null || e2e_fail "orca is not installed (Debian package orca)"

# A session bus of this test's own: AT-SPI's bus and speech-dispatcher start on it.
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$E2E_DIR/bus" 4>"$E2E_DIR/bus.pid" ||
    e2e_fail "no session bus"
E2E_PIDS+=("$(cat "$E2E_DIR/bus.pid")")
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_DIR/bus")
export DBUS_SESSION_BUS_ADDRESS
# Orca's settings, and the switch it turns on for every toolkit, stay in this test's own home and
# memory.
export GSETTINGS_BACKEND=memory
e2e_start_desktop
e2e_start_sound
pactl load-module module-null-sink sink_name=reader rate=22050 channels=1 >/dev/null || e2e_fail "no reader sink"
pactl load-module module-null-sink sink_name=program rate=22050 channels=1 >/dev/null || e2e_fail "no program sink"

# Orca in Italian (its own translations, an Italian locale made for this test).
mkdir -p "$E2E_DIR/locale"
localedef -i it_IT -f UTF-8 "$E2E_DIR/locale/it_IT.UTF-8" 2>/dev/null ||
    [ -d "$E2E_DIR/locale/it_IT.UTF-8" ] || e2e_fail "cannot make an Italian locale"
ORCA_DEBUG=$E2E_DIR/orca.debug
(LOCPATH=$E2E_DIR/locale LC_ALL=it_IT.UTF-8 LANGUAGE=it PULSE_SINK=reader \
    exec orca --replace --debug-file="$ORCA_DEBUG") >"$E2E_DIR/orca.log" 2>&1 &
E2E_PIDS+=($!)
# orca_said TEXT: Orca has spoken a text containing TEXT (fixed string) since line FROM (default 0).
orca_said() { tail -n +"${2:-1}" "$ORCA_DEBUG" 2>/dev/null | grep 'SPEECH OUTPUT:' | grep -qF -- "$1"; }
orca_lines() { wc -l <"$ORCA_DEBUG"; }
e2e_wait 30 orca_said "Lettore schermo attivo" || e2e_fail "Orca did not start speaking Italian"
# As the desktop does when its screen reader is switched on.
gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
    --method org.freedesktop.DBus.Properties.Set org.a11y.Status ScreenReaderEnabled '<true>' >/dev/null ||
    e2e_fail "cannot tell AT-SPI that a screen reader runs"

# Both voices recorded from now on, each on its own sink.
record() { parec -d "$1.monitor" --format=s16le --rate=22050 --channels=1 --raw --latency-msec=10 >"$E2E_DIR/$1.raw"; }
record reader &
recorders=($!)
record program &
recorders+=($!)
E2E_PIDS+=("${recorders[@]}")
# The two recorders start a moment apart: what each holds at one instant lines them up.
both_recording() { [ -s "$E2E_DIR/reader.raw" ] && [ -s "$E2E_DIR/program.raw" ]; }
e2e_wait 10 both_recording || e2e_fail "the voices are not recorded"
read -r reader_bytes program_bytes <<<"$(stat -c %s "$E2E_DIR/reader.raw" "$E2E_DIR/program.raw" | tr '\n' ' ')"

# An appointment falling due a little after the rest is done.
e2e_minute_ahead 100
hour=$(date -d "@$DUE" +%-H)
minute=$(date -d "@$DUE" +%M)
sqlite3 "$APP_DIR/dati.mdb" \
    "INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES ('$(date -d "@$DUE" +%F)T00:00:00', '1899-12-30T$(date -d "@$DUE" +%H:%M):00', 'riunione con l''avvocato');" ||
    e2e_fail "cannot write dati.mdb"

e2e_settings "Carica avvio" 0 "Tipo iniziale" DataOra "Tipo finale" Nessuno "Riduci icona" 0 \
    "Leggi errore" 1 "Automin" 0 "Mess Min" 0 "Secondi inatt" 300
printf '[Voce]\nMotore=Festival\nVoce=lp\n' >>"$SETTINGS_FILE"
PULSE_SINK=program E2E_LOGGING="vespelinda.speech.queue=true" e2e_start_app
W=$(e2e_wait_main_window 15) || e2e_fail "the main window did not appear"
e2e_wait 10 e2e_takes_keys "$W" || e2e_fail "the main window did not take the focus"
e2e_wait 20 orca_said "Volto di Vespelinda" || e2e_fail "Orca did not read the window"
e2e_wait 30 grep -q "text 1 spoken" "$SPEECH_LOG" || e2e_fail "the greeting was not spoken"

# The face's menu by keyboard: heard with its first item.
from=$(orca_lines)
e2e_press_key "$W" Return
# Orca waits on each program it asks, and a program on Orca for each key: a step may take a while.
e2e_wait 40 orca_said "Esci" "$from" || e2e_fail "the menu was not announced with its first item"
# To the options ("Esci", "Info", "Opzioni") and on to the voice dialog.
xdotool key Down Down Return
O=$(e2e_wait 10 xdotool search --all --pid "$APP_PID" --name '^Opzioni$' && xdotool search --all --pid "$APP_PID" --name '^Opzioni$' | head -n1) ||
    e2e_fail "the options window did not open"
e2e_press_key "$O" alt+v || e2e_fail "the options window does not take keys"
e2e_wait 40 orca_said "Motore" || e2e_fail "the voice dialog's engine was not announced"
engines=$(grep -o 'installed: .*' "$SPEECH_LOG" | tail -n1)
from=$(orca_lines)
xdotool key Down
e2e_wait 40 orca_said "espeak-ng" "$from" || e2e_wait 1 orca_said "Voce di sistema" "$from" ||
    e2e_fail "the engine's new value was not spoken ($engines)"
# Back to Festival, then its sample, while Orca announces the focus moving to the button.
xdotool key Up
xdotool key alt+s
e2e_wait 30 grep -q "text 2 spoken" "$SPEECH_LOG" || e2e_fail "the sample was not spoken"
xdotool key Escape
xdotool key Escape

# The appointment: its box read by Orca with its time, not also spoken by the program.
e2e_wait $((DUE - $(date +%s) + 15)) orca_said "Alle $hour:$minute: riunione con l'avvocato" ||
    e2e_fail "the announcement was not heard with its time"
e2e_wait 10 orca_said "Appuntamento" || e2e_fail "the box's title was not heard"
e2e_spoken "Sono le $hour e ${minute#0}. . riunione con l'avvocato." && e2e_fail "the program spoke over the box"

# Both recordings to here: loud stretches of each, and where they meet.
kill "${recorders[@]}" 2>/dev/null
voices=("$E2E_DIR/reader.raw" "$E2E_DIR/program.raw" "$reader_bytes" "$program_bytes")
python3 - "${voices[@]}" <<'PY' || e2e_fail "the two voices sounded together"
import struct, sys
RATE, CHUNK = 22050, 220  # 10 ms
def loud(path):
    data = open(path, "rb").read()
    n = len(data) // 2
    samples = struct.unpack("<%dh" % n, data[: n * 2])
    return [max(map(abs, samples[i:i + CHUNK]), default=0) > 1500 for i in range(0, n - CHUNK, CHUNK)]
reader, program = loud(sys.argv[1]), loud(sys.argv[2])
# At one instant the reader's recording held A bytes and the program's B: the program's began
# (B - A) / 2 samples earlier, so its chunk i + shift is the reader's chunk i.
shift = round((int(sys.argv[4]) - int(sys.argv[3])) / 2 / CHUNK)
program = program[shift:] if shift >= 0 else [False] * -shift + program
both = [i for i in range(min(len(reader), len(program))) if reader[i] and program[i]]
runs, run = [], 0
for i in range(len(both)):
    run = run + 1 if i and both[i] == both[i - 1] + 1 else 1
    runs.append(run)
print("reader loud %.1f s, program loud %.1f s, together %d ms, longest together %d ms"
      % (sum(reader) / 100, sum(program) / 100, len(both) * 10, max(runs, default=0) * 10))
starts = [both[i] for i in range(len(both)) if i == 0 or both[i] != both[i - 1] + 1]
print("together from (s):", " ".join("%.2f" % (i / 100) for i in starts[:20]))
sys.exit(0 if sum(reader) > 100 and sum(program) > 100 and max(runs, default=0) <= 10 else 1)
PY
e2e_pass
