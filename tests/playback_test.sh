#!/usr/bin/env bash
# Real playback: the caller's player plays into a PulseAudio null sink of this test's own,
# whose monitor is recorded. A number file must be heard whole, in any encoding; a long streamed
# file to its end; a second request must cut off the first, and a sound still loading for an
# older request must never be heard, with the output kept awake or not; after the server is
# killed and started again the next call is heard; damaged files must make no sound and cost no
# time, and with no server at all the player must stay quiet and carry on. Kept awake while
# calling, the output plays a faint signal and never sleeps between calls, whether calling starts
# before the first sound or after one; it sleeps soon after calling stops, and a sound playing
# then is heard to its end.
# Usage: playback_test.sh PLAY_WAVES   (the program in tests/play_waves.cpp)
set -euo pipefail
player=$(realpath "$1")
source "$(dirname "$0")/pulse_session.sh"

work=$(mktemp -d)
finish() {
    stop_pulse
    rm -rf "$work"
}
trap finish EXIT
export QT_QPA_PLATFORM=offscreen

mkdir "$work/files"
cd "$work/files"
sox -n -r 22050 -c 1 -b 16 7.wav synth 1.0 sine 440 vol 0.5
sox -n -r 22050 -c 1 -b 16 long.wav synth 4.0 sine 440 vol 0.5
sox -n -r 44100 -c 2 -b 16 short.wav synth 0.3 sine 880 vol 0.5
sox -n -r 22050 -c 1 -e ima-adpcm adpcm.wav synth 1.0 sine 440 vol 0.5
# Longer than the player holds in memory: read, converted and played a chunk at a time.
sox -n -r 44100 -c 2 -b 16 streamed.wav synth 11.0 sine 440 vol 0.5
# Slow to load: eight seconds to convert from 48 kHz stereo floating point.
sox -n -r 48000 -c 2 -e floating-point -b 32 slow.wav synth 8.0 sine 220 vol 0.5
# Far below what counts as heard (1% of full scale), far above the faint signal (see primed).
sox -n -r 22050 -c 1 -b 16 primer.wav synth 0.2 sine 440 vol 0.005
: >empty.wav
head -c 30 7.wav >header.wav
head -c 4096 /dev/urandom >random.wav
# A copy cut short: the header claims 2 GB of samples, 1 KB of silence is there; it plays that.
{ printf 'RIFF\x24\x00\x00\x80WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x22\x56\x00\x00\x44\xac\x00\x00\x02\x00\x10\x00'
  printf 'data\x00\x00\x00\x80'; head -c 1024 /dev/zero; } >lying.wav
damaged=(empty.wav header.wav random.wav)

# With no server at all: no sound, no alert, no error, a normal end.
PULSE_SERVER=unix:$work/no-server XDG_RUNTIME_DIR=$work HOME=$work \
    timeout 20 "$player" 7.wav @300 >"$work/out" 2>"$work/err" && status=0 || status=$?
check "with no sound server the player ends normally and quietly" \
    test "$status $(cat "$work/out")" = "0 alerts: 0"

start_pulse "$work"

# play ARGUMENTS...: runs the player while the monitor is recorded into $heard;
# sets $seconds to how long the player ran and $out to what it printed.
heard=$work/heard.raw
play() {
    local watcher=''
    rm -f primed
    start_recording "$heard"
    if [[ " $* " == *" ?primed "* ]]; then
        ( for tries in $(seq 400); do between "$(peak "$heard")" 0.002 1 && break; sleep 0.05; done
          touch primed ) &
        watcher=$!
    fi
    local start=$(date +%s%N)
    out=$(timeout 20 "$player" "$@") || out="failed or hung: $?"
    seconds=$(awk -v ns=$(( $(date +%s%N) - start )) 'BEGIN { print ns / 1e9 }')
    [ -z "$watcher" ] || wait "$watcher"
    stop_recording
}

# primed FILE...: sets $primer to the player's arguments that load FILE... into its memory, then
# play primer.wav, which opens the stream, and wait until the recording hears it. The sounds of
# FILE... then start at their request; loaded there, they would start once read and converted,
# on a busy machine up to 0.2 s later, and a wait between two requests would be less than what
# the sound before it played.
primed() { primer=("$@" primer.wav "?primed"); }

# Asleep, as between games, and awake, as while calling: the faint signal that keeps an awake
# stream playing is far below what counts as heard here.
for mode in asleep awake; do
    awake=()
    [ $mode = awake ] && awake=(+awake)
    play "${awake[@]}" 7.wav @1500
    check "$mode: a number file is heard (peak $(peak "$heard") of full scale)" between "$(peak "$heard")" 0.3 1
    check "$mode: a number file is heard whole ($(span "$heard") s of 1 s)" between "$(span "$heard")" 0.9 1.1

    # The 4 s sound is cut off after 0.5 s by the 0.3 s one, which is then heard to its end.
    primed long.wav short.wav
    play "${awake[@]}" "${primer[@]}" long.wav @500 short.wav @1500
    check "$mode: a second request cuts off the first ($(span "$heard") s heard of 0.5 s + 0.3 s)" \
        between "$(span "$heard")" 0.65 1.0
    check "$mode: the second sound is the one heard last ($(pitch "$heard" -0.15) Hz)" \
        between "$(pitch "$heard" -0.15)" 800 960

    # The second short.wav comes from memory while slow.wav is still being loaded for the request
    # before it: slow.wav must stay quiet when it arrives.
    primed short.wav
    play "${awake[@]}" "${primer[@]}" short.wav @800 slow.wav short.wav @1500
    check "$mode: a sound loaded for an older request stays quiet ($(span "$heard") s heard of 0.8 s + 0.3 s)" \
        between "$(span "$heard")" 1.0 1.2
    check "$mode: the newer sound is the one heard last ($(pitch "$heard" -0.15) Hz)" \
        between "$(pitch "$heard" -0.15)" 800 960

    # The server is killed between two calls and started again, as when the desktop's sound
    # service restarts: the first call after it is back is heard whole.
    rm -f "$work/back"
    timeout 60 "$player" "${awake[@]}" 7.wav @1200 "?$work/back" 7.wav @1500 >/dev/null &
    restarted=$!
    sleep 1.5
    { kill -KILL "${pulse_pids[0]}"; stop_pulse; } 2>/dev/null
    start_pulse "$work"
    start_recording "$heard"
    touch "$work/back"
    wait "$restarted" || true
    stop_recording
    check "$mode: after the server is killed and back, the next call is heard whole ($(span "$heard") s of 1 s)" \
        between "$(span "$heard")" 0.9 1.1
done

# Calling stops 0.3 s into a sound, as it does into the pause cue: the sound is heard to its end.
primed 7.wav
play +awake "${primer[@]}" 7.wav @300 -awake @1200
check "calling stopped while a sound plays: it is heard whole ($(span "$heard") s of 1 s)" between "$(span "$heard")" 0.9 1.1
# Kept awake with no sound, the stream plays the faint signal: a step of one in 32768, not silence.
play +awake @1000
check "awake between calls, the faint signal plays (peak $(peak "$heard"), a step is 0.000031)" \
    between "$(peak "$heard")" 0.00003 0.0001

play adpcm.wav @1500
check "an IMA ADPCM file is heard whole ($(span "$heard") s of 1 s)" between "$(span "$heard")" 0.9 1.1

play streamed.wav @12500
check "a streamed file is heard to its end ($(span "$heard") s of 11 s)" between "$(span "$heard")" 10.9 11.1

play "${damaged[@]}" lying.wav @500
check "damaged files make no sound (peak $(peak "$heard"))" between "$(peak "$heard")" 0 0.001
check "each damaged file sounds the alert, as a missing one does ($out)" test "$out" = "alerts: ${#damaged[@]}"
check "the player ends at once after damaged files (${seconds} s for 0.5 s of waiting)" between "$seconds" 0 2

# The program could not end after a sound that followed a file whose header lies.
play lying.wav @100 7.wav @1500
check "a sound after a damaged file is heard whole ($(span "$heard") s of 1 s)" between "$(span "$heard")" 0.9 1.1
check "the player ends at once after it (${seconds} s for 1.6 s of waiting)" between "$seconds" 0 3

# A sink that sleeps after 1 s with no stream playing, and no reader of its monitor to keep it
# awake: while calling, with 2 s or more between the end of a call and the next, it never sleeps;
# once calling stops it is asleep within 3 s of the pause cue's end, or of the stop with no sound
# left. Calling starts before the first sound, or after one, once the sink has slept with the
# stream open ("?asleep" holds the player until then).
stop_pulse
start_pulse "$work" --sleepy
for calling in "from the start, paused with its cue:@500 +awake 7.wav @3000 7.wav @3000 7.wav @3000 7.wav -awake @5000" \
               "after a sound, stopped with none left:7.wav ?asleep +awake @3000 7.wav @3000 -awake @5000"; do
    read -ra arguments <<<"${calling#*:}"
    for tries in $(seq 50); do
        pactl list short sinks | grep -q SUSPENDED && break
        sleep 0.1
    done
    rm -f "$work/states" asleep
    sink_states "$work/states" &
    poller=$!
    watcher=''
    if [[ " ${arguments[*]} " == *" ?asleep "* ]]; then
        ( for tries in $(seq 300); do
              awk '$2 == "RUNNING" { played = 1 } played && $2 == "SUSPENDED" { slept = 1 } END { exit !slept }' \
                  "$work/states" 2>/dev/null && break
              sleep 0.1
          done
          touch asleep ) &
        watcher=$!
    fi
    timeout 60 "$player" "${arguments[@]}" >"$work/out" || true
    [ -z "$watcher" ] || wait "$watcher"
    kill "$poller"
    check_kept_awake "$work/states" "$work/out" "calling ${calling%%:*}"
done

# While calling at Slow, the server is killed after a call and is back 1.3 s later, as when the
# desktop's sound service restarts: with no call since, the stream is back and the sink awake
# from 1 s after the server is, until the next call, 3 s after it is back.
rm -f "$work/back" "$work/states"
timeout 60 "$player" +awake 7.wav @2000 "?$work/back" @3000 7.wav @1500 -awake >"$work/out" &
calling=$!
sleep 2.5
{ kill -KILL "${pulse_pids[0]}"; stop_pulse; } 2>/dev/null
sleep 1.3
start_pulse "$work" --sleepy
back=$(( $(date +%s%N) / 1000000 ))
sink_states "$work/states" &
poller=$!
touch "$work/back"
wait "$calling" || true
kill "$poller"
seen=$(tr -d '\r' <"$work/out" | awk -v file="?$work/back" '$1 == file && $2 == "at" { print $3 }')
read -r asleep awake < <(awk -v from=$((back + 1000)) -v to=$((${seen:-0} + 3000)) '
    $1 >= from && $3 <= to { if ($2 == "RUNNING") running++; else other++ } END { print other + 0, running + 0 }' "$work/states")
check "after the server is killed and back while calling, the output is awake before the next call ($awake samples awake, $asleep not, from 1 s after it is back until the call)" \
    test -n "$seen" -a "$asleep" -eq 0 -a "$awake" -ge 1

echo "$failures failed"
[ "$failures" -eq 0 ]
