# SPDX-License-Identifier: GPL-3.0-or-later
# Shared harness for the end-to-end tests: the real executable on a private X server with a
# window manager and a notification area, observed from outside. Source it from a test script:
#
#   . "$(dirname "$0")/e2e-lib.sh"
#   e2e_setup "$1"            # the built Vespelinda; copies its folder (with dati.mdb) aside
#   e2e_start_x; e2e_start_wm; e2e_start_tray
#   e2e_settings "Secondi inatt" 15 "Tipo finale" Standard
#   e2e_start_app
#   e2e_wait_speech "Buongiorno" 10 || e2e_fail "no greeting"
#   ...
#   e2e_pass
#
# Everything started here is stopped by a trap on exit, whatever happens. Set E2E_KEEP=1 to
# keep the temporary folder (logs, settings, screenshots) for a look afterwards.
#
# Variables set for the test: E2E_DIR (temporary folder), APP_DIR (the copied program folder),
# APP_EXE, APP_PID, SPEECH_LOG (what the assistant says, one "vespelinda.speech: <text>" line per
# text), DISPLAY, HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_RUNTIME_DIR, SETTINGS_FILE.

set -u

E2E_PIDS=()
E2E_PULSE=0

e2e_log() { printf '[e2e %s] %s\n' "$(date +%H:%M:%S.%N | cut -c1-12)" "$*" >&2; }

e2e_fail()
{
    e2e_log "FAIL: $*"
    if [ -n "${SPEECH_LOG:-}" ] && [ -f "$SPEECH_LOG" ]; then
        e2e_log "program output:"
        sed 's/^/    /' "$SPEECH_LOG" >&2
    fi
    exit 1
}

e2e_pass()
{
    e2e_log "PASS"
    exit 0
}

e2e_cleanup()
{
    local status=$?
    local i
    # Reverse order: the program first, the X server last.
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        kill "${E2E_PIDS[i]}" 2>/dev/null
    done
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        local n=0
        while kill -0 "${E2E_PIDS[i]}" 2>/dev/null && [ $n -lt 30 ]; do
            sleep 0.1
            n=$((n + 1))
        done
        kill -9 "${E2E_PIDS[i]}" 2>/dev/null
    done
    if [ "$E2E_PULSE" = 1 ]; then
        pulseaudio --kill 2>/dev/null
    fi
    if [ -n "${E2E_DIR:-}" ] && [ -d "$E2E_DIR" ]; then
        if [ "${E2E_KEEP:-0}" = 1 ]; then
            e2e_log "kept $E2E_DIR"
        else
            rm -rf "$E2E_DIR"
        fi
    fi
    exit $status
}

# e2e_setup EXECUTABLE: a private home and a copy of the program's folder.
e2e_setup()
{
    local exe=${1:?path of the built Vespelinda executable}
    [ -x "$exe" ] || e2e_fail "no executable at $exe"
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM HUP
    E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/vespelinda-e2e.XXXXXX")
    export HOME=$E2E_DIR/home
    export XDG_CONFIG_HOME=$HOME/.config
    export XDG_DATA_HOME=$HOME/.local/share
    export XDG_CACHE_HOME=$HOME/.cache
    export XDG_RUNTIME_DIR=$E2E_DIR/runtime
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    # Never reach the caller's desktop session: no session bus, no sound server but ours.
    export DBUS_SESSION_BUS_ADDRESS=disabled:
    unset WAYLAND_DISPLAY PULSE_SERVER SESSION_MANAGER XDG_SESSION_TYPE QT_QPA_PLATFORM
    export LC_ALL=C.UTF-8
    APP_DIR=$E2E_DIR/app
    mkdir -p "$APP_DIR"
    cp -a "$(dirname "$exe")/." "$APP_DIR/"
    APP_EXE=$APP_DIR/$(basename "$exe")
    [ -f "$APP_DIR/dati.mdb" ] || e2e_log "warning: no dati.mdb beside $exe"
    SETTINGS_FILE=$XDG_CONFIG_HOME/Vespelinda/Vespelinda.conf
    SPEECH_LOG=$E2E_DIR/program.log
    e2e_log "working in $E2E_DIR"
}

# e2e_wait SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; fails after SECONDS.
e2e_wait()
{
    local timeout=$1
    shift
    local deadline=$(($(date +%s%N) + ${timeout%.*} * 1000000000))
    while ! "$@" >/dev/null 2>&1; do
        [ "$(date +%s%N)" -lt "$deadline" ] || return 1
        sleep 0.1
    done
    return 0
}

# e2e_not COMMAND...: succeeds when COMMAND fails (for e2e_wait).
e2e_not() { ! "$@"; }

# e2e_start_x: a private X server on a free display.
e2e_start_x()
{
    local fdfile=$E2E_DIR/display
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fdfile" >"$E2E_DIR/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 10 test -s "$fdfile" || e2e_fail "Xvfb did not start"
    export DISPLAY=:$(head -n1 "$fdfile")
    e2e_wait 10 xdpyinfo || e2e_fail "display $DISPLAY does not answer"
    e2e_log "X server on $DISPLAY"
}

# e2e_stop PID: ends a process started here, waits for it and forgets it.
e2e_stop()
{
    local pid=$1 p kept=()
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    for p in "${E2E_PIDS[@]}"; do
        [ "$p" = "$pid" ] || kept+=("$p")
    done
    E2E_PIDS=("${kept[@]}")
}

e2e_wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

# e2e_wm_showing_desktop on|off: asks the window manager to show the desktop (or to stop) and
# tells whether it does so now.
e2e_wm_showing_desktop()
{
    local want=0
    [ "$1" = on ] && want=1
    wmctrl -k "$1" 2>/dev/null
    xprop -root _NET_SHOWING_DESKTOP 2>/dev/null | grep -q "= $want\$"
}

# e2e_start_wm: openbox, without session management. It names itself on the root window early in
# its start-up, before it reads its events: a window mapped then stays unmapped until some other
# event happens to wake it. A request it has carried out (showing the desktop, then no longer) says
# that it reads them.
e2e_start_wm()
{
    mkdir -p "$XDG_CONFIG_HOME/openbox"
    openbox --sm-disable >"$E2E_DIR/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 10 e2e_wm_running || e2e_fail "openbox did not start"
    e2e_wait 10 e2e_wm_showing_desktop on || e2e_fail "openbox does not answer requests"
    e2e_wait 10 e2e_wm_showing_desktop off || e2e_fail "openbox does not answer requests"
}

# e2e_root_watched FILE: the xev writing FILE hears of the root window's changes (a mark set on the
# root window has reached it).
e2e_root_watched()
{
    xprop -root -f _VESPELINDA_E2E_MARK 8s -set _VESPELINDA_E2E_MARK 1
    grep -q _VESPELINDA_E2E_MARK "$1"
}

# e2e_start_tray: trayer as the notification area, at the top right corner. Its panel is there a
# moment before it owns the tray selection; once it does, it says so to every client with a MANAGER
# message on the root window, which xev, listening there from before trayer starts, writes down.
e2e_start_tray()
{
    local events=$E2E_DIR/root-events.log watcher
    xev -root -event structure -event property >"$events" 2>&1 &
    watcher=$!
    E2E_PIDS+=("$watcher")
    e2e_wait 10 e2e_root_watched "$events" || e2e_fail "cannot watch the root window"
    xprop -root -remove _VESPELINDA_E2E_MARK
    trayer --edge top --align right --widthtype request --height 32 --SetDockType true \
        --transparent false --tint 0xc0c0c0 >"$E2E_DIR/trayer.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 10 grep -q '(MANAGER)' "$events" || e2e_fail "trayer did not take the notification area's selection"
    e2e_stop "$watcher"
}

# e2e_start_desktop: the X server, openbox and trayer, with the pointer out of the window's way.
e2e_start_desktop()
{
    e2e_start_x
    e2e_start_wm
    e2e_start_tray
    xdotool mousemove 600 700
}

# e2e_start_sound: a PulseAudio server with a null sink "speech" whose monitor can be recorded
# (parec -d speech.monitor --latency-msec=20 --format=s16le --rate=22050 --channels=1 --raw).
e2e_start_sound()
{
    pulseaudio -D -n --exit-idle-time=-1 --load=module-native-protocol-unix \
        --load="module-null-sink sink_name=speech rate=22050 channels=1" >"$E2E_DIR/pulse.log" 2>&1 ||
        e2e_fail "pulseaudio did not start"
    E2E_PULSE=1
    e2e_wait 10 pactl info || e2e_fail "pulseaudio does not answer"
    pactl set-default-sink speech
}

# e2e_fake_clock SECONDS: from here on the wall clock of this script and of the programs it starts
# runs SECONDS ahead (libfaketime); timers and sleeps keep the real pace. Lets a test reach a
# given moment of the day without waiting for it.
e2e_fake_clock()
{
    local lib
    for lib in /usr/lib/*/faketime/libfaketime.so.1; do
        [ -f "$lib" ] && break
    done
    [ -f "$lib" ] || e2e_fail "libfaketime is not installed (Debian package faketime)"
    export LD_PRELOAD=$lib FAKETIME="$(printf '%+ds' "$1")" DONT_FAKE_MONOTONIC=1 FAKETIME_DONT_RESET=1
}

# e2e_minute_ahead SECONDS: moves the clock (e2e_fake_clock) to SECONDS before a minute that begins
# at least a minute from now, and sets DUE to that minute's start (seconds since the epoch).
e2e_minute_ahead()
{
    local real
    real=$(date +%s)
    DUE=$(((real / 60 + 2) * 60))
    e2e_fake_clock $((DUE - $1 - real))
}

# e2e_clock_reached SECONDS: the clock has reached that moment (seconds since the epoch).
e2e_clock_reached() { [ "$(date +%s)" -ge "$1" ]; }

# e2e_quiet_settings: options with no greeting, no farewell, the window shown and awake for 5
# minutes, every alert spoken.
e2e_quiet_settings()
{
    e2e_settings "Carica avvio" 0 "Tipo iniziale" Nessuno "Tipo finale" Nessuno "Riduci icona" 0 \
        "Leggi errore" 1 "Automin" 0 "Mess Min" 0 "Secondi inatt" 300
}

# e2e_settings KEY VALUE [KEY VALUE ...]: writes the options file (section Opzioni). Call before
# e2e_start_app; a key left out is missing for the program (the first run writes the defaults
# only when "Carica avvio" is missing).
e2e_settings()
{
    mkdir -p "$(dirname "$SETTINGS_FILE")"
    {
        echo "[Opzioni]"
        while [ $# -ge 2 ]; do
            printf '%s=%s\n' "${1// /%20}" "$2"
            shift 2
        done
    } >"$SETTINGS_FILE"
}

# e2e_start_app: starts the copied program with the speech log on (and the categories listed in
# E2E_LOGGING, "vespelinda.speech.queue=true" for instance).
e2e_start_app()
{
    (cd "$APP_DIR" && QT_LOGGING_RULES="vespelinda.speech=true;${E2E_LOGGING:-}" exec "$APP_EXE") >"$SPEECH_LOG" 2>&1 &
    APP_PID=$!
    E2E_PIDS+=($APP_PID)
    e2e_log "program started, pid $APP_PID"
}

e2e_app_running() { kill -0 "$APP_PID" 2>/dev/null; }

# e2e_sound_playing: something is playing on the sound server.
e2e_sound_playing() { pactl list short sink-inputs 2>/dev/null | grep -q .; }

# e2e_app_exit_status: waits for the program to end and prints its exit status.
e2e_app_exit_status()
{
    wait "$APP_PID" 2>/dev/null
    echo $?
}

# e2e_spoken TEXT: the assistant has said TEXT (a whole logged text).
e2e_spoken() { grep -qxF "vespelinda.speech: $1" "$SPEECH_LOG"; }

# e2e_spoken_count TEXT: how many times it has said TEXT.
e2e_spoken_count() { grep -cxF "vespelinda.speech: $1" "$SPEECH_LOG"; }

# e2e_wait_speech TEXT [SECONDS]: waits until a logged text begins with TEXT.
e2e_wait_speech()
{
    e2e_wait "${2:-10}" grep -q "^vespelinda.speech: $(printf '%s' "$1" | sed 's/[][\.*^$/]/\\&/g')" "$SPEECH_LOG"
}

# e2e_main_window: prints the id of the program's main window (WM_NAME "Vespelinda"; the tray
# icon's window has an empty WM_NAME).
e2e_main_window() { xdotool search --all --pid "$APP_PID" --name '^Vespelinda$' 2>/dev/null | head -n1; }

e2e_has_main_window() { [ -n "$(e2e_main_window)" ]; }

# e2e_wait_main_window [SECONDS]: waits for it and prints its id.
e2e_wait_main_window()
{
    e2e_wait "${1:-10}" e2e_has_main_window || return 1
    e2e_main_window
}

# e2e_viewable WINDOW: the window is mapped and shown on screen.
e2e_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# e2e_window_state WINDOW: its _NET_WM_STATE atoms, as xprop prints them.
e2e_window_state() { xprop -id "$1" _NET_WM_STATE 2>/dev/null; }

# e2e_tray_icon: prints the id of the program's icon embedded in trayer (the window of this
# process that trayer's panel holds), or nothing.
e2e_tray_icon()
{
    local panel id
    for panel in $(xdotool search --class '^trayer$' 2>/dev/null); do
        for id in $(xwininfo -id "$panel" -tree 2>/dev/null | awk '/^ +0x[0-9a-f]+ / {print $1}'); do
            if [ "$(xprop -id "$id" _NET_WM_PID 2>/dev/null | awk '{print $3}')" = "$APP_PID" ]; then
                echo "$id"
                return 0
            fi
        done
    done
    return 1
}

# e2e_wait_tray_icon [SECONDS]: waits for the icon and prints its id.
e2e_wait_tray_icon()
{
    e2e_wait "${1:-10}" e2e_tray_icon || return 1
    e2e_tray_icon
}

E2E_LAST_CLICK=0

# e2e_click_spaced: long enough since the last click (half a second; Qt's double-click interval is
# 400 ms) that the next one cannot make a double click with it.
e2e_click_spaced() { [ $(($(date +%s%N) - E2E_LAST_CLICK)) -ge 500000000 ]; }

# e2e_click_at WINDOW X Y [BUTTON]: a real pointer click at X,Y in the window, never so soon after
# the one before that the two would make a double click.
e2e_click_at()
{
    e2e_wait 2 e2e_click_spaced
    xdotool mousemove --window "$1" "$2" "$3" click "${4:-1}"
    E2E_LAST_CLICK=$(date +%s%N)
}

# e2e_click WINDOW [BUTTON]: the same in the middle of the window.
e2e_click()
{
    local WIDTH HEIGHT X Y SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    e2e_click_at "$1" $((WIDTH / 2)) $((HEIGHT / 2)) "${2:-1}"
}

# e2e_press_key WINDOW KEY: a key pressed and released on the keyboard while WINDOW has the focus,
# as a user does. (Not `xdotool key --window`: when the window closes on the press, xdotool dies on
# the release and leaves the key held down in the X server, repeating into every window after.)
e2e_press_key()
{
    e2e_wait 3 e2e_takes_keys "$1" || return 1
    xdotool key "$2"
}

e2e_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }

# e2e_focused WINDOW: the window has the X server's keyboard focus.
e2e_focused() { [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$1" ]; }

# e2e_takes_keys WINDOW: the window is the active one and has the keyboard focus: keys typed now
# go to it.
e2e_takes_keys() { e2e_active "$1" && e2e_focused "$1"; }

# e2e_pixel WINDOW X Y: the colour at X,Y of the window as it is on screen, as srgb(R,G,B).
e2e_pixel() { import -window "$1" ppm:- 2>/dev/null | convert ppm:- -format "%[pixel:p{$2,$3}]" info: 2>/dev/null; }

# e2e_pixel_is WINDOW X Y COLOUR: the colour at X,Y is COLOUR.
e2e_pixel_is() { [ "$(e2e_pixel "$1" "$2" "$3")" = "$4" ]; }

# e2e_field_focused WINDOW X Y: the text box whose top edge runs through X,Y has the keyboard focus
# (the style draws that edge in its focus colour only then).
e2e_field_focused() { e2e_pixel_is "$1" "$2" "$3" "srgb(38,112,158)"; }

# e2e_tab PAGE: where the main window's tab PAGE (Leggi, Calendario, Agenda or Rubrica) is clicked
# (on the line y 276) and where its left edge is, as "X LEFT".
e2e_tab()
{
    case $1 in
    Leggi) echo 28 8 ;;
    Calendario) echo 88 48 ;;
    Agenda) echo 165 118 ;;
    Rubrica) echo 205 170 ;;
    *) e2e_fail "no page $1" ;;
    esac
}

# e2e_page_shown WINDOW PAGE: the tab PAGE is the selected one, drawn lighter than the others, in
# the same paint as its page.
e2e_page_shown()
{
    local tab
    read -ra tab <<<"$(e2e_tab "$2")"
    e2e_pixel_is "$1" $((tab[1] + 2)) 284 "srgb(255,225,209)"
}

# e2e_show_page WINDOW PAGE: clicks the tab PAGE and waits until its page is shown.
e2e_show_page()
{
    local tab
    read -ra tab <<<"$(e2e_tab "$2")"
    e2e_click_at "$1" "${tab[0]}" 276
    e2e_wait 5 e2e_page_shown "$1" "$2"
}

# e2e_screenshot WINDOW FILE: a PNG of the window as it is on screen.
e2e_screenshot()
{
    mkdir -p "$(dirname "$2")"
    import -window "$1" "$2" 2>/dev/null || e2e_fail "no screenshot of $1"
}

# e2e_steady_screenshot WINDOW FILE: a PNG of the window once what it shows has settled: two
# captures in a row alike, a tenth of a second or more apart (the face's blink lasts 50 ms). Take
# it once what is to be shown is known to be there: until then the old picture is steady too.
e2e_steady_screenshot()
{
    local capture=$E2E_DIR/capture.ppm previous="" current
    local deadline=$(($(date +%s%N) + 10000000000))
    while :; do
        import -window "$1" "$capture" 2>/dev/null || e2e_fail "no screenshot of $1"
        current=$(md5sum <"$capture")
        [ "$current" = "$previous" ] && break
        [ "$(date +%s%N)" -lt "$deadline" ] || e2e_fail "the window $1 did not settle for its picture"
        previous=$current
        sleep 0.1
    done
    mkdir -p "$(dirname "$2")"
    convert "$capture" "$2" || e2e_fail "cannot write $2"
}

# e2e_gui_ctxt_switches: voluntary context switches of the program's user-interface thread so
# far (each one is a wake-up after sleeping in the event loop).
e2e_gui_ctxt_switches() { awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$APP_PID/task/$APP_PID/status"; }

# e2e_popup_menu_shown: one of the program's pop-up menus is on screen (a window of its own that
# the window manager does not manage).
e2e_popup_menu_shown()
{
    local id
    for id in $(xdotool search --pid "$APP_PID" 2>/dev/null); do
        if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' &&
            xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' &&
            ! xprop -id "$id" WM_NAME 2>/dev/null | grep -q '"Vespelinda"' &&
            [ "$(xwininfo -children -id "$id" | awk '/Parent window id/ {print $4}')" = "$(xwininfo -root | awk '/Window id/ {print $4}')" ]; then
            return 0
        fi
    done
    return 1
}

# e2e_start_recording FILE: records what the null sink "speech" plays (raw s16le, 22050 Hz, mono),
# one second of file for each second that passes; needs e2e_start_sound.
e2e_start_recording()
{
    E2E_RECORDING=$1
    parec -d speech.monitor --latency-msec=20 --format=s16le --rate=22050 --channels=1 --raw >"$1" &
    E2E_PIDS+=($!)
    e2e_wait 5 test -s "$1" || e2e_fail "nothing recorded from the speech sink"
}

# e2e_recorded_seconds: how far the recording has come, in seconds (3 decimals).
e2e_recorded_seconds() { awk -v bytes="$(stat -c %s "$E2E_RECORDING")" 'BEGIN { printf "%.3f", bytes / 44100 }'; }

# e2e_last_sound_seconds: where in the recording the last audible sample lies, in seconds.
e2e_last_sound_seconds()
{
    od -An -v -td2 -w2 "$E2E_RECORDING" |
        awk '{ v = $1 < 0 ? -$1 : $1; if (v > 200) last = NR } END { printf "%.3f", last / 22050 }'
}

# e2e_recorded_silence SECONDS: the recording ends in at least SECONDS of silence: what was played
# last is in it to its end.
e2e_recorded_silence()
{
    local recorded
    recorded=$(e2e_recorded_seconds)
    awk -v recorded="$recorded" -v last="$(e2e_last_sound_seconds)" -v s="$1" 'BEGIN { exit !(recorded - last >= s) }'
}
