#!/usr/bin/env bash
# The one test command: installs what is missing, builds the test build
# (address and undefined-behaviour sanitizers), runs every test, then runs
# each fuzz target for a few seconds.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
[ -f build/debug/CMakeCache.txt ] || cmake --preset debug >/dev/null
cmake --build --preset debug
ctest --preset debug -j "$(nproc)"
./fuzz.sh 5
