#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Time from process start to the main window shown, under Xvfb with openbox, over several runs.
# usage: bench/startup.sh build/bin/Vespelinda [runs]
set -euo pipefail
exe=$(realpath "${1:?path to Vespelinda}")
runs=${2:-10}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/config" "$work/data" "$work/runtime" "$work/app"
chmod 700 "$work/runtime"
cp "$exe" "$(dirname "$exe")/dati.mdb" "$work/app/"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
display=:$((100 + RANDOM % 400))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
sleep 1
times=()
for _ in $(seq "$runs"); do
    # openbox lists a window in _NET_CLIENT_LIST as soon as it is mapped; xprop -spy reports it at once.
    xprop -root -spy _NET_CLIENT_LIST > "$work/spy" &
    spy=$!
    sleep 0.3
    before=$(wc -l < "$work/spy")
    start=$(date +%s%N)
    "$work/app/Vespelinda" >/dev/null 2>&1 &
    app=$!
    while [ "$(wc -l < "$work/spy")" -le "$before" ]; do sleep 0.002; done
    shown=$(date +%s%N)
    times+=($(( (shown - start) / 1000000 )))
    kill "$app" "$spy" 2>/dev/null || true
    wait "$app" "$spy" 2>/dev/null || true
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "process start -> main window shown over $runs runs (ms): $(echo $sorted | tr '\n' ' ')"
echo "median $(printf '%s\n' $sorted | sed -n "$(( (runs + 1) / 2 ))p") ms"
