#!/usr/bin/env bash
# Builds the benchmarks (release build with the bench option) and prints one
# table of measured figures beside their targets.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
[ -f build/bench/CMakeCache.txt ] || cmake --preset bench >/dev/null
cmake --build --preset bench >&2
bin=build/bench/bin
export QT_QPA_PLATFORM=offscreen

echo "| what | measured | target |"
echo "|---|---|---|"
"$bin/bench_pause"
"$bin/bench_table_write"
"$bin/bench_monitor"
"$bin/bench_startup"
# Google Benchmark's CSV: name,iterations,real_time,cpu_time,time_unit,...
"$bin/bench_config" --benchmark_format=csv 2>/dev/null | awk -F, '
  /^"BM_/ { gsub(/"/, "", $1); t[$1] = $3; u = $5 }
  END {
    printf "| configuration load, full file | %.0f %s | |\n", t["BM_Load"], u
    printf "| configuration save, one atomic write | %.0f %s | one write |\n", t["BM_Save"], u
    printf "| configuration save, naive (242 rewrites) | %.0f %s | |\n", t["BM_NaiveSave"], u
    printf "| naive save / one-write save | %.1f | |\n", t["BM_NaiveSave"] / t["BM_Save"]
  }'
