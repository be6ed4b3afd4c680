#!/usr/bin/env bash
# The player under a long storm of requests against a PulseAudio server of this test's own: cached,
# uncached, streamed, missing, damaged and odd files in random order with gaps of 0 to 50 ms, while
# the server is killed and started again twice. The build's sanitizers end the player at the first
# report, so it passes only if the player ends normally, in time, and the last request, made after
# the storm, is heard whole. It runs on a virtual display, as the caller does on a desktop: every
# request shows the hourglass there.
# Usage: sound_stress_test.sh PLAY_WAVES [REQUESTS]   (the program in tests/play_waves.cpp)
set -euo pipefail
player=$(realpath "$1")
requests=${2:-20000}
source "$(dirname "$0")/pulse_session.sh"
source "$(dirname "$0")/virtual_display.sh"

work=$(mktemp -d)
finish() {
    [ -z "${toucher:-}" ] || kill "$toucher" 2>/dev/null || true
    stop_display
    stop_pulse
    rm -rf "$work"
}
trap finish EXIT
start_display "$work"

mkdir "$work/files"
cd "$work/files"
# Sounds of 14 to 90 ms: as many of them end on their own between two requests as are cut off.
for k in $(seq 20); do
    sox -n -r 16000 -c 1 -b 16 "n$k.wav" synth "0.0$((k * 4 + 10))" sine $((200 + 40 * k)) vol 0.5
done
sox -n -r 44100 -c 2 -b 16 stereo.wav synth 1.2 sine 500 vol 0.5
sox -n -r 8000 -c 1 -e mu-law mulaw.wav synth 0.8 sine 600 vol 0.5
sox -n -r 22050 -c 1 -e ima-adpcm adpcm.wav synth 0.8 sine 700 vol 0.5
sox -n -r 96000 -c 8 -e floating-point -b 32 wide.wav synth 0.5 sine 800 vol 0.5
sox -n -r 16000 -c 1 -b 16 nine.wav synth 9.5 sine 300 vol 0.3
sox -n -r 44100 -c 2 -b 16 streamed.wav synth 12 sine 350 vol 0.3
sox -n -r 48000 -c 1 -b 24 long.wav synth 60 sine 250 vol 0.3
sox -n -r 16000 -c 1 -b 16 final.wav synth 1.0 sine 660 vol 0.5
sox -n -r 16000 -c 1 -b 16 tiny.wav trim 0 1s
: >empty.wav
head -c 30 n1.wav >header.wav
head -c 4096 /dev/urandom >random.wav
{ printf 'RIFF\x24\x00\x00\x80WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x22\x56\x00\x00\x44\xac\x00\x00\x02\x00\x10\x00'
  printf 'data\x00\x00\x00\x80'; head -c 1024 /dev/zero; } >lying.wav
mkfifo fifo.wav
# +awake and -awake stand for the start and the pause of calling, which keep the output awake.
names=(n*.wav stereo.wav mulaw.wav adpcm.wav wide.wav nine.wav streamed.wav long.wav tiny.wav
       missing.wav empty.wav header.wav random.wav lying.wav fifo.wav +awake -awake)

# Files that change while they are cached must be loaded again: most requests wait for a load.
(while sleep 0.2; do touch n*.wav stereo.wav mulaw.wav adpcm.wav; done) &
toucher=$!

start_pulse "$work"
start=$(date +%s)
# Twice the time it takes on a busy machine: longer is a hang.
limit=$(( requests * 30 / 1000 + 120 ))
timeout "$limit" "$player" --random "$requests" 17 "${names[@]}" -- missing.wav @1500 final.wav @2500 \
    >"$work/out" 2>"$work/err" &
played=$!
# The storm takes about a minute for 5000 requests; the server is killed at a quarter and at half.
quarter=$(( requests * 12 / 1000 / 4 + 1 ))
for round in 1 2; do
    sleep "$quarter"
    { kill -KILL "${pulse_pids[0]}"; stop_pulse; } 2>/dev/null
    echo "server killed at $(( $(date +%s) - start )) s"
    sleep 1
    start_pulse "$work"
done
start_recording "$work/heard.raw"
wait "$played" && status=0 || status=$?
stop_recording
echo "player ended with status $status after $(( $(date +%s) - start )) s; it printed: $(cat "$work/out")"

failures=0
if [ "$status" -eq 124 ]; then
    echo "FAIL: the player hung: it had not ended after $limit s"
    failures=1
elif [ "$status" -ne 0 ]; then
    echo "FAIL: the player ended with status $status (a crash or a sanitizer's report)"
    failures=1
fi
if grep -q -E 'Sanitizer|runtime error' "$work/err"; then
    echo "FAIL: a sanitizer reported:"
    failures=1
fi
[ "$failures" -eq 0 ] || tail -n 40 "$work/err"
# The last request follows 1.5 s of quiet after missing.wav: the recording's last stretch of sound
# after a second of quiet is that request, however long the player then takes to end.
sox "${recording_format[@]}" "$work/heard.raw" -t raw "$work/tail.raw" reverse silence 1 0.01 1% 1 1.0 1% reverse \
    2>"$work/sox.err" || cat "$work/sox.err"
last=$(span "$work/tail.raw" 2>>"$work/sox.err") || last="none ($(cat "$work/sox.err"))"
heard=$(pitch "$work/tail.raw" 0.2 -0.2 2>>"$work/sox.err") || heard="none"
if between "$last" 0.95 1.05 && between "$heard" 620 700; then
    echo "PASS: the last request is heard whole ($last s of 1 s, $heard Hz)"
else
    echo "FAIL: the last request is not heard whole ($last s of 1 s, $heard Hz)"
    failures=1
fi
[ "$failures" -eq 0 ]
