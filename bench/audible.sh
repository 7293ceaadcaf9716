#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# From an action to the first audible sample at the sound server, on a private desktop (Xvfb,
# openbox, a session bus) with a PulseAudio null sink whose monitor bench_audible_probe records in
# 2 ms chunks. Median (min-max) of RUNS for:
#   - paplay of a 50 ms tone (process start included): the floor;
#   - espeak-ng -v it saying the time (process start included);
#   - spd-say -l it saying the same, when speech-dispatcher is installed;
#   - the program: a click on "Dimmi che ore sono" (Calendario page), with the voice chosen
#     (ENGINE: Festival or espeak-ng), and a click on "Leggi" with a one-word and a 1 000-word text.
#
# usage: bench/audible.sh build/bin/Vespelinda [runs] [engine]
set -euo pipefail
exe=$(realpath "${1:?path to Vespelinda}")
runs=${2:-7}
engine=${3:-Festival}
probe=$(realpath "$(dirname "$exe")/../bench/bench_audible_probe")
work=$(mktemp -d)
cleanup()
{
    kill $(jobs -p) 2>/dev/null || true
    pulseaudio --kill 2>/dev/null || true
    [ -n "${bus_pid:-}" ] && kill "$bus_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home" "$work/config/Vespelinda" "$work/data" "$work/runtime" "$work/app"
chmod 700 "$work/runtime"
cp "$exe" "$(dirname "$exe")/dati.mdb" "$work/app/"
[ -x "$(dirname "$exe")/vespelinda-festival" ] && cp "$(dirname "$exe")/vespelinda-festival" "$work/app/"
[ -f "$(dirname "$exe")/vespelinda-sound.so" ] && cp "$(dirname "$exe")/vespelinda-sound.so" "$work/app/"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
unset PULSE_SERVER WAYLAND_DISPLAY
export LC_ALL=C.UTF-8
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid"
bus_pid=$(cat "$work/bus.pid")
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
pulseaudio -D -n --exit-idle-time=-1 --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=speech rate=22050 channels=1"
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink speech
display=:$((100 + RANDOM % 400))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
sleep 1

median() { sort -n | awk '{ v[NR] = $1 } END { printf "%d ms (%d-%d)", v[int((NR + 1) / 2)], v[1], v[NR] }'; }
measure() # LABEL COMMAND...: RUNS measures of COMMAND, each to the end of the sound
{
    local label=$1 i
    shift
    for i in $(seq "$runs"); do "$probe" speech.monitor -- "$@"; done >"$work/times"
    printf '%-52s %s\n' "$label" "$(median <"$work/times")"
}

sox -n -r 22050 -c 1 -b 16 "$work/tone.wav" synth 0.05 sine 440 vol 0.5
measure "paplay, a 50 ms tone (the floor)" paplay "$work/tone.wav"
command -v espeak-ng >/dev/null && measure "espeak-ng -v it" espeak-ng -v it "sono le 9 e 5 minuti."
command -v spd-say >/dev/null && measure "spd-say -l it (speech-dispatcher)" spd-say -w -l it "sono le 9 e 5 minuti."

printf '[Opzioni]\nCarica%%20avvio=0\nTipo%%20iniziale=Nessuno\nTipo%%20finale=Nessuno\nRiduci%%20icona=0\nSecondi%%20inatt=600\n[Voce]\nMotore=%s\n' \
    "$engine" >"$work/config/Vespelinda/Vespelinda.conf"
(cd "$work/app" && QT_LOGGING_RULES="vespelinda.speech=true" exec ./Vespelinda) >"$work/program.log" 2>&1 &
app=$!
for _ in $(seq 100); do
    W=$(xdotool search --all --pid "$app" --name '^Vespelinda$' 2>/dev/null | head -n1) && [ -n "$W" ] && break
    sleep 0.1
done
sleep 2 # the voice's engine starts after the first frame
click() { xdotool mousemove --window "$W" "$1" "$2" click 1; }
click 88 276 # the Calendario tab
sleep 0.5
xdotool mousemove --window "$W" 114 493
measure "Vespelinda: \"Dimmi che ore sono\" ($engine)" xdotool click 1
click 28 276 # the Leggi tab
sleep 0.5
# A reading: Enter in the text box reads it; measured to its first sound, then stopped ("&Stop").
for words in 1 1000; do
    for _ in $(seq "$words"); do printf 'parola '; done | xclip -selection clipboard
    click 110 360
    xdotool key ctrl+a ctrl+v
    for i in $(seq "$runs"); do
        "$probe" speech.monitor --first -- xdotool key Return
        xdotool key alt+s
        sleep 1
    done >"$work/times"
    printf '%-52s %s\n' "Vespelinda: Enter in \"Leggi\", $words words ($engine)" "$(median <"$work/times")"
done
