#!/usr/bin/env bash
# Builds the fuzz targets in a folder of their own, runs each on a copy of its seed corpus.
#   tests/fuzz/run.sh [SECONDS_PER_TARGET] [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
seconds="${1:-20}"
build="${2:-${FUZZ_BUILD_DIR:-$here/../../build-fuzz}}"
targets=(Ini CommandLine ParameterCodes NameRules)
CC=clang CXX=clang++ cmake -S "$here/../.." -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DDOKIVO_FUZZ=ON -DDOKIVO_BUILD_GUI=OFF -DDOKIVO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target "${targets[@]/#/fuzz_}"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t" && cp -n "$here/corpus/$t/"* "$build/corpus/$t/" 2>/dev/null || true
  echo "== fuzz_$t: $seconds s"
  (cd "$build" && "./bin/fuzz_$t" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    "corpus/$t" 2>"fuzz_$t.log") || { echo "fuzz_$t FAILED; its log and the crashing input are in $build" >&2
    tail -40 "$build/fuzz_$t.log" >&2; failed=1; }
  grep -E '^stat::(number_of_executed_units|new_units_added)' "$build/fuzz_$t.log" || true
done
exit "$failed"
