#!/usr/bin/env bash
# Prints the caller's figures: start-up against a bare Qt window, the cost of a tick and of a
# colour theme, and the memory and processor use of the running program between ticks.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DBINGO_BENCHMARKS=ON >/dev/null
cmake --build build >/dev/null

echo "== In-process timings (offscreen)"
(cd build && QT_QPA_PLATFORM=offscreen ./bench_calling)

echo "== The running caller, idle between ticks (offscreen, 10 s)"
cd build
QT_QPA_PLATFORM=offscreen ./bingo >/dev/null 2>&1 &
pid=$!
sleep 10
hz=$(getconf CLK_TCK)
rss=$(awk '/VmRSS/ { print $2 }' "/proc/$pid/status")
ticks=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
echo "resident memory: ${rss} KiB; processor time since start, load included: $((ticks * 1000 / hz)) ms"
kill "$pid"
