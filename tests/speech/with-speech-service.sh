#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test beside a private sound server and the desktop's speech service: a PulseAudio server
# with two null sinks, "speech" (the default, where speech-dispatcher plays) and "program", in a
# runtime folder and home of their own, so that speech-dispatcher, started by the test's first
# connection, is private too. Everything is stopped on exit.
set -u
. "$(dirname "$0")/../e2e/e2e-lib.sh" # e2e_wait, e2e_not
dir=$(mktemp -d "${TMPDIR:-/tmp}/vespelinda-speechd.XXXXXX")
export HOME=$dir/home XDG_RUNTIME_DIR=$dir/runtime XDG_CONFIG_HOME=$dir/home/.config XDG_CACHE_HOME=$dir/home/.cache
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER SPEECHD_ADDRESS
export DBUS_SESSION_BUS_ADDRESS=disabled:
cleanup()
{
    local status=$?
    local speechd
    speechd=$(cat "$XDG_RUNTIME_DIR/speech-dispatcher/pid" 2>/dev/null)
    [ -n "$speechd" ] && kill "$speechd" 2>/dev/null && e2e_wait 5 e2e_not kill -0 "$speechd"
    pulseaudio --kill 2>/dev/null
    e2e_wait 5 e2e_not pulseaudio --check
    rm -rf "$dir"
    exit $status
}
trap cleanup EXIT
pulseaudio -D -n --exit-idle-time=-1 --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=speech rate=22050 channels=1" \
    --load="module-null-sink sink_name=program rate=22050 channels=1" >"$dir/pulse.log" 2>&1 || {
    echo "pulseaudio did not start" >&2
    cat "$dir/pulse.log" >&2
    exit 1
}
e2e_wait 10 pactl info || {
    echo "pulseaudio does not answer" >&2
    exit 1
}
pactl set-default-sink speech
"$@"
