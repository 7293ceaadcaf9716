#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up time and idle memory of the program beside a bare Qt window of the same size, always on
# top like it (bench_bare_window), in one run under Xvfb with openbox and, when PulseAudio is
# installed, a null sink that hears the greeting.
#
# Time: from process start to the window mapped (openbox lists it in _NET_CLIENT_LIST), the two
# programs started alternately, RUNS times each; both medians and their ratio.
# Memory: VmRSS and PSS (proportional set size: shared pages divided among the processes that map
# them) of each after IDLE seconds (the greeting has been spoken meanwhile). Festival's interpreter
# runs in a helper process of its own: its memory is reported separately.
# As on a desktop, both run on a session bus of their own with AT-SPI's accessibility bus present
# (and off: no screen reader).
#
# usage: bench/startup.sh build/bin/Vespelinda [runs] [idle seconds] [bare window executable] [data file]
# (the data file in place of the empty one built beside the executable, e.g. one with 100 000 rows in
# each table made by bench/fill-data-file.sh)
set -euo pipefail
exe=$(realpath "${1:?path to Vespelinda}")
runs=${2:-10}
idle=${3:-8}
bare=$(realpath "${4:-$(dirname "$exe")/../bench/bench_bare_window}")
data=$(realpath "${5:-$(dirname "$exe")/dati.mdb}")
work=$(mktemp -d)
pulse=0
cleanup()
{
    kill $(jobs -p) 2>/dev/null || true
    [ "$pulse" = 1 ] && pulseaudio --kill 2>/dev/null
    [ -n "${bus_pid:-}" ] && kill "$bus_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home" "$work/config" "$work/data" "$work/runtime" "$work/app"
chmod 700 "$work/runtime"
# The program's folder as installed: the executable, the data file, Festival's helper and the sound
# plugin if built.
cp "$exe" "$work/app/"
cp "$data" "$work/app/dati.mdb"
[ -x "$(dirname "$exe")/vespelinda-festival" ] && cp "$(dirname "$exe")/vespelinda-festival" "$work/app/"
[ -f "$(dirname "$exe")/vespelinda-sound.so" ] && cp "$(dirname "$exe")/vespelinda-sound.so" "$work/app/"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
unset PULSE_SERVER WAYLAND_DISPLAY
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid"
bus_pid=$(cat "$work/bus.pid")
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
# The accessibility bus, started as a desktop's session does.
gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus --method org.a11y.Bus.GetAddress >/dev/null
if command -v pulseaudio >/dev/null && pulseaudio -D -n --exit-idle-time=-1 --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=speech rate=22050 channels=1" 2>/dev/null; then
    pulse=1
fi
display=:$((100 + RANDOM % 400))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
sleep 1

# start_and_wait EXECUTABLE: starts it, waits for its window to be mapped; sets pid and ms.
start_and_wait()
{
    coproc SPY { exec xprop -root -spy _NET_CLIENT_LIST; }
    local line
    read -r -t 10 line <&"${SPY[0]}" # the list as it is now
    local start shown
    start=$(date +%s%N)
    "$1" >/dev/null 2>&1 &
    pid=$!
    read -r -t 10 line <&"${SPY[0]}" || { echo "no window from $1" >&2; exit 1; }
    shown=$(date +%s%N)
    ms=$(((shown - start) / 1000000))
    kill "$SPY_PID" 2>/dev/null || true
    wait "$SPY_PID" 2>/dev/null || true
}
stop() { kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; sleep 0.2; }
rss() { awk '/^VmRSS/ { print $2 }' "/proc/$1/status"; }
pss() { awk '/^Pss:/ { print $2 }' "/proc/$1/smaps_rollup"; }
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

# The first run writes the default options; it is not counted.
start_and_wait "$work/app/Vespelinda"
stop
app_times=() bare_times=()
for i in $(seq "$runs"); do
    if ((i % 2)); then order=(bare app); else order=(app bare); fi
    for which in "${order[@]}"; do
        if [ "$which" = app ]; then
            start_and_wait "$work/app/Vespelinda"
            app_times+=("$ms")
        else
            start_and_wait "$bare"
            bare_times+=("$ms")
        fi
        stop
    done
done
app_median=$(median "${app_times[@]}")
bare_median=$(median "${bare_times[@]}")
echo "process start -> window shown, $runs runs each, started alternately (ms)"
echo "  Vespelinda:  $(printf '%s\n' "${app_times[@]}" | sort -n | tr '\n' ' ')-> median $app_median"
echo "  bare window: $(printf '%s\n' "${bare_times[@]}" | sort -n | tr '\n' ' ')-> median $bare_median"
echo "  ratio $(awk -v a="$app_median" -v b="$bare_median" 'BEGIN { printf "%.2f", a / b }')"

start_and_wait "$bare"
sleep "$idle"
bare_rss=$(rss "$pid")
bare_pss=$(pss "$pid")
stop
start_and_wait "$work/app/Vespelinda"
sleep "$idle"
app_rss=$(rss "$pid")
app_pss=$(pss "$pid")
helper=$(pgrep -P "$pid" -x vespelinda-fest || true)
helper_rss=$([ -n "$helper" ] && rss "$helper" || echo 0)
helper_pss=$([ -n "$helper" ] && pss "$helper" || echo 0)
stop
echo "memory after ${idle} s idle (KiB; sound server: $([ "$pulse" = 1 ] && echo null sink || echo none))"
echo "  Vespelinda:  VmRSS $app_rss, PSS $app_pss"
echo "  bare window: VmRSS $bare_rss, PSS $bare_pss"
echo "  ratio: VmRSS $(awk -v a="$app_rss" -v b="$bare_rss" 'BEGIN { printf "%.2f", a / b }'), PSS $(awk -v a="$app_pss" -v b="$bare_pss" 'BEGIN { printf "%.2f", a / b }')"
if [ -n "$helper" ]; then
    echo "  Festival's helper process vespelinda-festival, separately: VmRSS $helper_rss, PSS $helper_pss"
else
    echo "  no Festival helper process running"
fi
