#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program's first start with Festival's Italian voices installed: it greets with
# Festival's lp (the most natural voice, chosen by default), and the greeting recorded from the
# sound server lasts about as long as Festival needs to say that text.
. "$(dirname "$0")/e2e-lib.sh"

e2e_setup "${1:?usage: $0 path/to/Vespelinda path/to/phrase_table}"
PHRASE_TABLE=${2:?path of phrase_table}
e2e_start_x
e2e_start_wm
e2e_start_sound
e2e_start_recording "$E2E_DIR/greeting.raw"
e2e_start_app
e2e_wait_speech "Buon" 15 || e2e_fail "no greeting"
e2e_wait 10 grep -q "^vespelinda.speech: voice: Festival lp," "$SPEECH_LOG" || e2e_fail "the greeting is not in Festival's lp"
e2e_wait 5 e2e_sound_playing || e2e_fail "nothing was played"
e2e_wait 20 e2e_not e2e_sound_playing || e2e_fail "the greeting never ended"
e2e_wait 5 e2e_recorded_silence 0.3 || e2e_fail "the recording does not hold the greeting's end"

greeting=$(sed -n 's/^vespelinda\.speech: \(Buo.*\)$/\1/p' "$SPEECH_LOG" | head -n1)
expected_ms=$("$PHRASE_TABLE" --duration "$greeting") || e2e_fail "phrase_table could not say the greeting"
# The span from the first to the last audible sample of the recording.
span=$(od -An -v -td2 -w2 "$E2E_DIR/greeting.raw" |
    awk '{ v = $1 < 0 ? -$1 : $1; if (v > 800) { if (!first) first = NR; last = NR } }
         END { printf "%d", (last - first) * 1000 / 22050 }')
e2e_log "greeting \"$greeting\": heard for $span ms, Festival needs $expected_ms ms"
[ "$expected_ms" -gt 2000 ] || e2e_fail "Festival gives only $expected_ms ms for the greeting"
[ "$span" -gt $((expected_ms * 85 / 100)) ] && [ "$span" -lt $((expected_ms * 115 / 100)) ] ||
    e2e_fail "the greeting was heard for $span ms, not about $expected_ms ms"
grep -q "said by espeak-ng" "$SPEECH_LOG" && e2e_fail "a sentence of the greeting fell back to espeak-ng"
e2e_pass
