#!/usr/bin/env bash
# Builds the release programs (installing what is missing) and starts Tarvenix.
# Arguments are passed on to the program, e.g. ./run.sh --demo
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
[ -f build/release/CMakeCache.txt ] || cmake --preset release >/dev/null
cmake --build --preset release
exec build/release/bin/tarvenix "$@"
