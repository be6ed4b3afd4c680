#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer and runs them all,
# offscreen: no display is needed. Arguments go to ctest; without any, the slow test of the
# Debian package (label "package": builds, installs and purges it) is left out, and
# `bash scripts/test.sh -L package` runs just that one.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBINGO_SANITIZE=ON -DBUILD_TESTING=ON >/dev/null
cmake --build build-tests
cd build-tests
[[ $# -gt 0 ]] || set -- --label-exclude package
ctest --output-on-failure "$@"
