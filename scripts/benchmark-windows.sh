#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Prints the Windows program's figures under Wine, beside a bare Qt program built with the same
# Qt for Windows (bench/bare_windows.cpp: the same windows, shown and hidden in the same order),
# in the same run, on a virtual display with no window manager and a PulseAudio null sink of its
# own as Wine's sound device:
#   - start-up to the first window and to the main window, how long the splash window stays
#     once the main window is shown, how long the main window stays after "Exit" and when the
#     program ends, in three rounds, and in two more with Wine not leaving its windows to a
#     window manager;
#   - processor time idle and while calling at the fast speed with sound (the bare program shows
#     each number in a 260-point banner and plays its file with PlaySound), and resident memory;
#   - processor time and wakeups while calling at Slow with the output kept awake, and paused;
#   - "Exit" after the sound server has gone in the middle of a sound.
# Window times come from the X server's own notices (bench/window_events.py).
# Needs the Windows build in build-windows/ (bash scripts/windows.sh makes it).
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD

[ -f build-windows/CMakeCache.txt ] || bash scripts/windows.sh
bash scripts/setup.sh windows xdotool
cmake --build build-windows --target bingo bare_windows >/dev/null

work=$(mktemp -d)
stage=$work/app
cmake --install build-windows --prefix "$stage" >/dev/null
cp build-windows/bare_windows.exe "$stage/"

wine=${BINGO_WINE:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver
export WINEPREFIX=$work/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
source tests/pulse_session.sh
watcher=''
finish() {
    [ -z "$watcher" ] || kill "$watcher" 2>/dev/null || true
    "$wineserver" -k >/dev/null 2>&1 || true
    stop_pulse
    [ -z "${xvfb:-}" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

export DISPLAY=:$((90 + RANDOM % 400))
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
start_pulse "$work"
# A wineserver that stays, so that no start below pays for starting it.
mkdir -p "$WINEPREFIX"
"$wineserver" -p
"$wine" wineboot --init >/dev/null 2>&1
for face in Arial "MS Sans Serif"; do
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "Liberation Sans" /f >/dev/null 2>&1
done

events=$work/events
python3 bench/window_events.py >"$events" &
watcher=$!
sleep 1

now() { date +%s%N; }
# Seconds from one stamp to another; "none" when the second never came.
seconds() {
    if [ -z "$2" ]; then echo none; return; fi
    awk -v from="$1" -v to="$2" 'BEGIN { printf "%.2f", (to - from) / 1e9 }'
}
# The first notice after AFTER about a window of CLASS: KIND (shown, hidden) and WHICH (greeting:
# the 479 x 238 splash or farewell window; main: any other). Prints "STAMP WINDOW SIZE".
notice() {
    awk -v after="$1" -v cls="$2" -v kind="$3" -v which="$4" '
        $1 > after && $5 == cls && $2 == kind && (($4 == "479x238") == (which == "greeting")) {
            print $1, $3, $4; exit
        }' "$events"
}
# Waits up to SECONDS (default 20) for such a notice; prints it, or nothing.
await() {
    local i found
    for ((i = 0; i < ${5:-20} * 20; i++)); do
        found=$(notice "$@")
        [ -z "$found" ] || { echo "$found"; return 0; }
        sleep 0.05
    done
}
# Clicks the control of the main window at (X, Y) of its 790 x 572 client area, under its menu bar.
click() { # click WINDOW SIZE X Y
    local height=${2#*x}
    xdotool mousemove --window "$1" "$3" $(($4 + height - 572)) click 1
}
cpu_ms() { awk -v hz="$(getconf CLK_TCK)" '{ print int(($14 + $15) * 1000 / hz) }' "/proc/$1/stat"; }
# Times the process has woken up so far: every time one of its threads waited and went on.
wakeups() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n + 0 }'; }
rss_mib() { awk '/VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status"; }

# launch EXE [FOLDER]: starts the program in FOLDER (default: its own), sets $pid, $launched.
launch() {
    launched=$(now)
    (cd "${2:-$stage}" && exec "$wine" "$stage/$1") >/dev/null 2>&1 &
    pid=$!
}
# Waits for the program to end, at most SECONDS; sets $ended (empty if it had to be killed).
await_end() {
    local i
    ended=''
    for ((i = 0; i < $1 * 50; i++)); do
        kill -0 "$pid" 2>/dev/null || { ended=$(now); wait "$pid" || true; return 0; }
        sleep 0.02
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# One round of the windows of EXE (window class CLASS): start-up, hand-over, Exit, end.
transitions() { # transitions NAME EXE CLASS
    local first main gone exit_at main_gone farewell
    launch "$2"
    first=$(await "$launched" "$3" shown greeting)
    main=$(await "$launched" "$3" shown main)
    if [ -z "$first" ] || [ -z "$main" ]; then echo "$1: no window came"; await_end 0; return; fi
    gone=$(await "${main%% *}" "$3" hidden greeting 10)
    sleep 1
    rss=$(rss_mib "$pid")
    read -r _ window size <<<"$main"
    exit_at=$(now)
    click "$window" "$size" 196 450
    main_gone=$(await "$exit_at" "$3" hidden main 10)
    farewell=$(await "$exit_at" "$3" shown greeting 10)
    await_end 15
    printf '%-8s first window %s s, main window %s s; splash stays %s s after it;' "$1" \
        "$(seconds "$launched" "${first%% *}")" "$(seconds "$launched" "${main%% *}")" \
        "$(seconds "${main%% *}" "${gone%% *}")"
    printf ' after Exit: main window gone %s s, farewell shown %s s, end %s s; %s MiB\n' \
        "$(seconds "$exit_at" "${main_gone%% *}")" "$(seconds "$exit_at" "${farewell%% *}")" \
        "$(seconds "$exit_at" "$ended")" "$rss"
}

# The first start in a fresh prefix also builds Wine's font cache: once each, not counted.
transitions caller bingo.exe bingo.exe >/dev/null
transitions "bare Qt" bare_windows.exe bare_windows.exe >/dev/null
echo "== Start-up and exit, in seconds ($("$wine" --version), Xvfb with no window manager)"
for round in 1 2 3; do
    transitions caller bingo.exe bingo.exe
    transitions "bare Qt" bare_windows.exe bare_windows.exe
done
# Wine hands its windows with a title bar to the window manager, and waits up to 2 s for it to
# confirm each one hidden; with "Managed" off it keeps them to itself and does not wait.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
echo "== The same with Wine's X11 driver told not to leave windows to a window manager (Managed=N)"
for round in 1 2; do
    transitions caller bingo.exe bingo.exe
    transitions "bare Qt" bare_windows.exe bare_windows.exe
done
"$wine" reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1

echo "== Processor time and memory"
launch bare_windows.exe
main=$(await "$launched" bare_windows.exe shown main)
sleep 3
before=$(cpu_ms "$pid")
sleep 10
echo "bare Qt, idle:                 $(( ($(cpu_ms "$pid") - before) / 10 )) ms per second; $(rss_mib "$pid") MiB resident"
read -r _ window size <<<"$main"
click "$window" "$size" 196 396    # Start: a call every 2.5 s
start_recording "$work/bare-calls.raw"
before=$(cpu_ms "$pid")
sleep 25
spent=$(( $(cpu_ms "$pid") - before ))
stop_recording
bare_spent=$spent
echo "bare Qt, calling fast with sound: $((spent / 10)) ms per call (10 calls in 25 s, $((spent / 25)) ms per second); $(rss_mib "$pid") MiB resident; loudest $(peak "$work/bare-calls.raw")"
click "$window" "$size" 196 450
await_end 15

launch bingo.exe
main=$(await "$launched" bingo.exe shown main)
read -r _ window size <<<"$main"
sleep 3
before=$(cpu_ms "$pid")
sleep 10
echo "caller, idle:                  $(( ($(cpu_ms "$pid") - before) / 10 )) ms per second; $(rss_mib "$pid") MiB resident"
click "$window" "$size" 196 396    # Start
sleep 0.5
click "$window" "$size" 72 479     # Speed Up: a call every 2.5 s
start_recording "$work/calls.raw"
before=$(cpu_ms "$pid")
sleep 25
spent=$(( $(cpu_ms "$pid") - before ))
stop_recording
echo "caller, calling fast with sound: $((spent / 10)) ms per call (10 calls in 25 s, $((spent / 25)) ms per second); $(rss_mib "$pid") MiB resident; loudest $(peak "$work/calls.raw")"
echo "ratio, the caller to the bare program, per call: $(awk -v a="$spent" -v b="$bare_spent" 'BEGIN { printf "%.2f", a / b }')"
click "$window" "$size" 196 450
await_end 15

# Calls of 20 ms of silence, so that what remains is the output kept awake between calls.
mkdir "$work/brief"
cp "$stage/thanks.wav" "$stage/welcome.wav" "$stage/restart.wav" "$work/brief/"
sox -n -r 16000 -c 1 -b 16 "$work/brief/1.wav" trim 0 0.02
for k in $(seq 2 90); do ln "$work/brief/1.wav" "$work/brief/$k.wav"; done
launch bingo.exe "$work/brief"
main=$(await "$launched" bingo.exe shown main)
read -r _ window size <<<"$main"
sleep 3
click "$window" "$size" 72 551     # Slow Down: a call every 7.5 s
click "$window" "$size" 196 396    # Start
sleep 3
before=$(cpu_ms "$pid") woken=$(wakeups "$pid")
sleep 30
echo "caller, calling at Slow, calls of 20 ms, the output kept awake: $(( ($(cpu_ms "$pid") - before) / 30 )) ms per second, $(( ($(wakeups "$pid") - woken) / 30 )) wakeups per second"
click "$window" "$size" 196 396    # Start again: paused
sleep 3
before=$(cpu_ms "$pid") woken=$(wakeups "$pid")
sleep 10
echo "caller, paused, over 10 s: $(( $(cpu_ms "$pid") - before )) ms, $(( ($(wakeups "$pid") - woken) / 10 )) wakeups per second"
click "$window" "$size" 196 450
await_end 15

echo "== Exit after the sound server has gone"
# A start cue of 6 s, so that the server goes in the middle of it.
mkdir "$work/long"
cp "$stage/thanks.wav" "$stage/welcome.wav" "$work/long/"
sox -n -r 22050 -c 1 -b 16 "$work/long/restart.wav" synth 6 sine 440 vol 0.5
launch bingo.exe "$work/long"
main=$(await "$launched" bingo.exe shown main)
read -r _ window size <<<"$main"
sleep 1
click "$window" "$size" 196 396    # Start: the 6 s cue
sleep 1
pactl exit
sleep 1
exit_at=$(now)
click "$window" "$size" 196 450
main_gone=$(await "$exit_at" bingo.exe hidden main 10)
await_end 15
echo "caller: main window gone $(seconds "$exit_at" "${main_gone%% *}") s after Exit" \
    "(none: not within 10 s); program ended $(seconds "$exit_at" "$ended") s after Exit" \
    "(none: still running 15 s after, then ended by this script)"
