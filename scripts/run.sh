#!/usr/bin/env bash
# Builds the caller and starts it in its build folder, where it finds its wave files.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build build
cd build
exec ./bingo "$@"
