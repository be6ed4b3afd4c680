#!/usr/bin/env bash
# Prints the caller's figures: start-up against a bare Qt window, the cost of a tick and of a
# colour theme, the memory and processor use of the running program between ticks, and, against
# a sound server of its own, the processor time of a tick with sound beside a bare Qt program
# playing the same files with QSoundEffect, a game of ~100 MB number files, the start of a short
# sound and the exit after damaged files.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh qt6-multimedia-dev
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DBINGO_BENCHMARKS=ON >/dev/null
cmake --build build >/dev/null

echo "== In-process timings (offscreen)"
(cd build && QT_QPA_PLATFORM=offscreen ./bench_calling)

echo "== The running caller, idle between ticks (offscreen, 10 s)"
cd build
# A data folder of its own: a game journal the host's caller left behind would ask its question.
data=$(mktemp -d)
QT_QPA_PLATFORM=offscreen XDG_DATA_HOME=$data ./bingo >/dev/null 2>&1 &
pid=$!
sleep 10
hz=$(getconf CLK_TCK)
rss=$(awk '/VmRSS/ { print $2 }' "/proc/$pid/status")
ticks=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
echo "resident memory: ${rss} KiB; processor time since start, load included: $((ticks * 1000 / hz)) ms"
kill "$pid"
rm -rf "$data"

echo "== Sound, against a PulseAudio null sink of the benchmark's own (offscreen)"
cd ..
bench=$PWD/build/bench_sound
source tests/pulse_session.sh
work=$(mktemp -d)
trap 'stop_pulse; rm -rf "$work"' EXIT
mkdir "$work/game" "$work/tones" "$work/damaged"
# Number files of ~100 MB each: ten minutes of CD-quality stereo, one recording under all 90
# names (hard links: the player sees 90 files, the disk holds one).
sox -n -r 44100 -c 2 -b 16 "$work/game/recording.wav" synth 600 sine 200:2000 vol 0.3
for k in $(seq 90); do ln "$work/game/recording.wav" "$work/game/$k.wav"; done
# Short sounds that are loud from their first sample, in the voice pack's format, to time the
# start of a sound.
sox -n -r 16000 -c 1 -b 16 "$work/tones/tone1.wav" synth 0.3 sine 440 vol 0.5
for k in $(seq 2 10); do cp "$work/tones/tone1.wav" "$work/tones/tone$k.wav"; done
for k in $(seq 90); do ln "$work/tones/tone1.wav" "$work/tones/$k.wav"; done
sox -n -r 16000 -c 1 -b 16 "$work/tones/long.wav" synth 3 sine 440 vol 0.5
sox -n -r 16000 -c 1 -b 16 "$work/tones/quiet.wav" trim 0 0.3
# Every file of the game a copy cut short: its header claims 2 GB, 1 KB is there.
{ printf 'RIFF\x24\x00\x00\x80WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x22\x56\x00\x00\x44\xac\x00\x00\x02\x00\x10\x00'
  printf 'data\x00\x00\x00\x80'; head -c 1024 /dev/zero; } >"$work/damaged/lying.wav"
for name in $(seq 90) welcome thanks restart; do cp "$work/damaged/lying.wav" "$work/damaged/$name.wav"; done

start_pulse "$work"
# Qt lists no monitor as a recording device: a plain source that copies the monitor stands in.
pactl load-module module-remap-source master=caller.monitor source_name=heard >/dev/null
pactl set-default-source heard
export QT_QPA_PLATFORM=offscreen
echo "-- Processor time of a tick at Fast, the voice pack's calls, the output kept awake, 20 ticks each, in turn:"
(cd build && "$bench" ticks 20 2500 && ./bare_caller 20 2500) | tee "$work/ticks"
awk '/ms a tick/ { sub(/ ms a tick.*/, ""); cost[++n] = $NF } END { printf "ratio, the caller to the bare program: %.2f\n", cost[1] / cost[2] }' "$work/ticks"
echo "-- The caller calling at Slow between two ticks, and paused, the voice pack's calls:"
(cd build && "$bench" between)
(cd "$work/game" && "$bench" quiet 1000 && "$bench" game 1000)
echo "-- The start of a call: number files loud from their first sample, then the voice pack's:"
(cd "$work/tones" && "$bench" onset 20 && "$bench" latency)
(cd build && "$bench" onset 20)
(cd "$work/damaged" && timeout 60 "$bench" exit)
