#!/usr/bin/env bash
# Real playback of the Windows player under Wine: Wine's PulseAudio driver plays into a null sink
# of this test's own, whose monitor is recorded. A number file must be heard whole, a second
# request must cut off the first, of a burst of requests the newest must be heard, missing and
# damaged files must make no sound and hold nothing up, and when the sound server stops
# mid-sound the next requests must return at once and the program must end soon after.
# Kept awake while calling, the output never sleeps between calls, and it sleeps soon after.
# The stream that keeps it awake follows the default output to a projector and back, and comes
# back by itself when the sound server restarts.
# The file in the working folder is played before one of the same name beside the program.
# Usage: windows_playback_test.sh PLAYSOUND_REQUESTS RUNNER...
#   PLAYSOUND_REQUESTS  the program in tests/playsound_requests.cpp
#   RUNNER              how a Windows program of the build is run (cmake/wine-run.sh and its arguments)
set -euo pipefail
player=$(realpath "$1")
shift
runner=("$@")
source "$(dirname "$0")/pulse_session.sh"

work=$(mktemp -d)
finish() {
    stop_pulse
    rm -rf "$work"
}
trap finish EXIT

mkdir "$work/files"
cd "$work/files"
sox -n -r 22050 -c 1 -b 16 silence.wav trim 0 0.2
sox -n -r 22050 -c 1 -b 16 7.wav synth 1.0 sine 440 vol 0.5
sox -n -r 22050 -c 1 -b 16 long.wav synth 4.0 sine 440 vol 0.5
sox -n -r 44100 -c 2 -b 16 short.wav synth 0.3 sine 880 vol 0.5
: >empty.wav
head -c 30 7.wav >header.wav
head -c 4096 /dev/urandom >random.wav
# A copy cut short: the header claims 2 GB of samples, 1 KB is there.
{ printf 'RIFF\x24\x00\x00\x80WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x22\x56\x00\x00\x44\xac\x00\x00\x02\x00\x10\x00'
  printf 'data\x00\x00\x00\x80'; head -c 1024 /dev/zero; } >lying.wav
unplayable=(missing.wav empty.wav header.wav lying.wav random.wav)
# The player runs from a folder of its own, beside a 7.wav of another pitch and a file the
# working folder lacks: the working folder's file is the one played, and the other is found.
mkdir "$work/program"
cp "$player" "$work/program/"
player=$work/program/${player##*/}
sox -n -r 22050 -c 1 -b 16 "$work/program/7.wav" synth 1.0 sine 880 vol 0.5
sox -n -r 22050 -c 1 -b 16 "$work/program/beside.wav" synth 1.0 sine 880 vol 0.5

# run [--stop-server] ARGUMENTS...: runs the player, with --stop-server stopping the sound
# server half a second after the recording $heard turns loud; sets $status, $longest (its longest
# request, ms) and $ending (seconds from its last line to the end of its process: the player
# going and Wine ending the program).
run() {
    local stop_server=false
    [ "$1" = --stop-server ] && { stop_server=true; shift; }
    "${runner[@]}" "$player" "$@" >"$work/out" 2>"$work/err" &
    local pid=$! said='' deadline=$((SECONDS + 30)) running=true
    while $running; do
        kill -0 "$pid" 2>/dev/null || running=false
        if $stop_server && between "$(peak "$heard")" 0.1 1; then
            sleep 0.5
            pactl exit
            stop_server=false
        fi
        [ -n "$said" ] || ! grep -q '^longest' "$work/out" || said=$(date +%s%N)
        [ $SECONDS -lt $deadline ] || { kill "$pid"; break; }
        sleep 0.02
    done
    wait "$pid" && status=0 || status=$?
    # A Windows program ends its lines with CR LF.
    longest=$(tr -d '\r' <"$work/out" | sed -n 's/^longest request: \([0-9]*\) ms$/\1/p')
    ending=$(awk -v ns=$(( $(date +%s%N) - ${said:-0} )) 'BEGIN { print ns / 1e9 }')
    # A player that never said it was done counts as hung.
    [ -n "$said" ] || { longest=99999; ending=99999; }
}

# With no server at all: no sound, no error, a normal end.
PULSE_SERVER=unix:$work/no-server XDG_RUNTIME_DIR=$work HOME=$work run 7.wav @300
check "with no sound server the player ends normally (status $status)" test "$status" -eq 0
check "and its requests return at once (longest $longest ms)" between "$longest" 0 100

start_pulse "$work"

# Each heard case starts with a silent sound: the first request of a program opens Wine's
# sound device, which on a busy machine can take longer than the waits below.
heard=$work/heard.raw
play() {
    start_recording "$heard"
    run "$@"
    stop_recording
}

play silence.wav @1000 7.wav @1500
check "a number file is heard (peak $(peak "$heard") of full scale)" between "$(peak "$heard")" 0.3 1
# A short underrun on a busy machine may add a gap of a few hundredths.
check "a number file is heard whole ($(span "$heard") s of 1 s)" between "$(span "$heard")" 0.9 1.2
check "the working folder's file is played, not the one beside the program ($(pitch "$heard" 0.2 0.5) Hz)" \
    between "$(pitch "$heard" 0.2 0.5)" 400 480
play silence.wav @1000 beside.wav @1500
check "a file the working folder lacks is played from beside the program ($(span "$heard" >/dev/null; pitch "$heard" 0.2 0.5) Hz)" \
    between "$(pitch "$heard" 0.2 0.5)" 800 960

# The 4 s sound is cut off after 0.5 s by the 0.3 s one, which is then heard to its end.
play silence.wav @1000 long.wav @500 short.wav @1500
check "a second request cuts off the first ($(span "$heard") s heard of 0.5 s + 0.3 s)" between "$(span "$heard")" 0.5 1.0
check "the second sound is the one heard last ($(pitch "$heard" -0.15) Hz)" between "$(pitch "$heard" -0.15)" 800 960

# Requests faster than the sound service takes them: the newest is the one played.
play silence.wav @1000 long.wav 7.wav long.wav short.wav @1500
check "of a burst of requests the newest is heard last ($(pitch "$heard" -0.15) Hz)" between "$(pitch "$heard" -0.15)" 800 960
check "and the ones before it are cut off ($(span "$heard") s heard)" between "$(span "$heard")" 0.25 1.0

# Windows sounds its alert for each of these; Wine's PlaySound plays none for a file name, so
# here nothing at all may be heard.
play silence.wav @1000 "${unplayable[@]}" @1000
check "missing and damaged files make no sound (peak $(peak "$heard"))" between "$(peak "$heard")" 0 0.001
check "they hold nothing up (longest request $longest ms)" between "$longest" 0 100
# Wine's own end of a process that played takes about 2 s more now and then on a busy machine,
# with any player (2.2 to 2.7 s beside four busy loops, 0.03 s otherwise); a player held up would
# take far longer.
check "the program ends at once after them ($ending s after its last request)" between "$ending" 0 4

# Wine's own PlaySound faults on a header that claims 2 GB: the program ended, or no sound followed.
play silence.wav @1000 lying.wav @100 7.wav @1500
# A program that Wine ends for a fault may still return 0: its report and its missing last line tell.
crashes=$(grep -c 'Unhandled exception' "$work/err" || true)
check "a file whose header lies does not bring the program down ($crashes faults, status $status)" \
    test "$crashes" -eq 0 -a "$status" -eq 0 -a "$longest" -ne 99999
check "a sound after it is heard whole ($(span "$heard") s of 1 s)" between "$(span "$heard")" 0.9 1.2

# The server stops half a second into a 4 s sound while calling, as when the speakers are
# unplugged; under Wine the sound service then never finishes stopping that sound, and the
# stream that keeps the output awake loses its device.
play --stop-server silence.wav @1000 +awake long.wav @3000 7.wav @300 short.wav @300 -awake +awake
check "the server stopped mid-sound ($(span "$heard") s of 4 s heard)" between "$(span "$heard")" 0.2 3
check "after it stopped, requests return at once (longest $longest ms)" between "$longest" 0 100
# Its sound thread, stuck in Wine's PlaySound for good, is waited for a second and then left.
check "and the program ends within 5 s, a second more than above ($ending s after its last request)" between "$ending" 0 5

# A sink that sleeps after 1 s with no stream playing, and no reader of its monitor: while
# calling, with 2 s between calls, it never sleeps; once calling is paused, with its 1 s cue, it
# is asleep within 3 s of the cue's end.
stop_pulse
start_pulse "$work" --sleepy
sink_states "$work/states" &
poller=$!
run silence.wav @1000 +awake 7.wav @3000 7.wav @3000 7.wav @3000 7.wav -awake @5000
kill "$poller"
check_kept_awake "$work/states" "$work/out"
check "keeping the output awake holds nothing up (longest request $longest ms)" between "$longest" 0 100

# A projector plugged in while calling becomes the default output, and when it goes, its stream
# with it, the loudspeakers are again. Under Wine the default is what the driver's DefaultOutput
# value names: the GUID the driver keeps for the sink, its first three fields byte-swapped.
# The player must still be calling at the end, and is then stopped from outside: once the server's
# outputs have changed under it, Wine 8's own teardown of a process that plays crashes now and then
# as the process ends (in PulseAudio's client library, or a thread ended in a system call), even
# for a player whose stream never moved (2 of 30 ends), which would make this case fail by chance.
# awake_on SINK: the sinks Wine's streams play on, once that is SINK (or none) or after 10 s.
awake_on() {
    for _ in $(seq 100); do
        on=$(pactl list short sink-inputs | awk 'NR == FNR { n[$1] = $2; next } { print n[$2] }' <(pactl list short sinks) - | sort | paste -sd+)
        [ "${on:=none}" = "$1" ] && break || sleep 0.1
    done
    echo "$on"
}
drivers='HKCU\Software\Wine\Drivers\winepulse.drv'
"${runner[@]}" reg delete "$drivers" /v DefaultOutput /f >/dev/null 2>&1 || true
projector=$(pactl load-module module-null-sink sink_name=projector)
timeout 90 "${runner[@]}" "$player" +awake @60000 >"$work/out" & calling=$!
path=$(awake_on caller)
"${runner[@]}" reg add "$drivers" /v DefaultOutput /f /d "$("${runner[@]}" reg query "$drivers\\devices\\0,projector" /v guid |
    sed -nE 's/.*REG_BINARY +(..)(..)(..)(..)(..)(..)(..)(..)(....)/{0.0.0.00000000}.{\4\3\2\1-\6\5-\8\7-\9-/; T; s/\r?$/}/p')" >/dev/null
path+=" $(awake_on projector)"
pactl unload-module "$projector"
path+=" $(awake_on none)"
"${runner[@]}" reg delete "$drivers" /v DefaultOutput /f >/dev/null
path+=" $(awake_on caller)"
kill -0 "$calling" && path+=", still calling" || path+=", ended early"
kill "$calling"
wait "$calling" || true
check "the stream that keeps the output awake follows the default output, to the projector and back ($path)" \
    test "$path" = "caller projector none caller, still calling"

# The sound server restarts while calling, as when it is killed and started again, with no call
# made meanwhile: the stream that keeps the output awake is back on the new server within 5 s,
# its 2 s of trying again and Wine's own connecting. The player is then stopped from outside, as above.
timeout 90 "${runner[@]}" "$player" +awake @60000 >"$work/out" & calling=$!
path=$(awake_on caller)
stop_pulse
start_pulse "$work" --sleepy
back=$(date +%s%N)
path+=" $(awake_on caller)"
took=$(awk -v ns=$(( $(date +%s%N) - back )) 'BEGIN { printf "%.1f", ns / 1e9 }')
kill -0 "$calling" && path+=", still calling" || path+=", ended early"
kill "$calling"
wait "$calling" || true
check "the stream that keeps the output awake comes back by itself after the server restarts ($path, $took s after)" \
    test "$path" = "caller caller, still calling" -a "$(between "$took" 0 5 && echo yes)" = yes

echo "$failures failed"
[ "$failures" -eq 0 ]
