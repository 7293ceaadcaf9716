#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs bench_long_text on a private PulseAudio server with a null sink, so that the time from
# "&Stop" to silence is measured on what the sink really plays.
#   bench/long_text.sh build/bench/bench_long_text [SECONDS_OF_READING]
set -u
bench=$(cd "$(dirname "${1:?usage: $0 path/to/bench_long_text [seconds]}")" && pwd)/$(basename "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/vespelinda-bench.XXXXXX")
export HOME=$work XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config DBUS_SESSION_BUS_ADDRESS=disabled:
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER DISPLAY WAYLAND_DISPLAY
trap 'pulseaudio --kill 2>/dev/null; rm -rf "$work"' EXIT
pulseaudio -D -n --exit-idle-time=-1 --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=speech rate=22050 channels=1" || exit 1
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink speech
QT_QPA_PLATFORM=offscreen "$bench" "${2:-10}"
