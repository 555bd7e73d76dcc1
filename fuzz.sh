#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (address and
# undefined-behaviour sanitizers) and runs each for the given number of
# seconds (default 60). Any finding fails the run; the input that caused it
# is kept as build/fuzz/findings/<target>-crash-... for replay:
#   build/fuzz/bin/fuzz_<target> build/fuzz/findings/<target>-crash-...
# Every run starts afresh from the seeds (fuzz/corpus/<target> and, for the
# configuration targets, the recorded files of tests/data/profile), so that
# it takes the time asked for however often it ran before.
set -euo pipefail
cd "$(dirname "$0")"
seconds="${1:-60}"
build=build/fuzz
targets=(profile_document configuration_round_trip frame_codec reply_decoder gbk_codec)

scripts/install-deps.sh
[ -f "$build/CMakeCache.txt" ] ||
  cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"

# The two configuration targets start from every recorded file of the tests.
seeds="$build/seeds/profile"
rm -rf "$seeds"
mkdir -p "$seeds"
for f in tests/data/profile/*/*.ini; do
  cp "$f" "$seeds/$(basename "$(dirname "$f")")-$(basename "$f")"
done

# The configuration round trip saves files over and over: on a RAM disk
# where there is one, and removed afterwards whatever the outcome.
scratch=$(mktemp -d "$( [ -d /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/tarvenix-fuzz-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export TARVENIX_FUZZ_SCRATCH=$scratch
export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
export UBSAN_OPTIONS=print_stacktrace=1
mkdir -p "$build/findings"
failed=()
for t in "${targets[@]}"; do
  rm -rf "$build/corpus/$t"
  mkdir -p "$build/corpus/$t"
  extra=()
  options=()
  case $t in profile_document | configuration_round_trip)
    extra+=("$seeds")
    options+=(-dict=fuzz/profile.dict) ;;
  esac
  [ -d "fuzz/corpus/$t" ] && extra+=("fuzz/corpus/$t")
  echo "fuzz_$t: ${seconds} s" >&2
  if ! "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 "${options[@]}" \
      -artifact_prefix="$build/findings/$t-" \
      "$build/corpus/$t" "${extra[@]}" 2>"$build/$t.log"; then
    tail -n 60 "$build/$t.log" >&2
    failed+=("$t")
  else
    tail -n 1 "$build/$t.log" >&2
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]} (logs in $build/<target>.log)" >&2
  exit 1
fi
