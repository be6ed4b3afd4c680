#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer and runs them all,
# offscreen: no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBINGO_SANITIZE=ON -DBUILD_TESTING=ON >/dev/null
cmake --build build-tests
cd build-tests
ctest --output-on-failure "$@"
