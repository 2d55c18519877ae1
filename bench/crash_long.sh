#!/usr/bin/env bash
# The long run of the kill harness: many more documents and kills than the CTest variant.
#   bench/crash_long.sh [BUILD_DIR] [FILES] [KILLS] [SEED]
# Needs a build with tests (the harness is tests/crash); prints the figures for the README.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$repo/build}"
files="${2:-10000}"
kills="${3:-500}"
seed="${4:-20240305}"
cmake --build "$build" -j "${JOBS:-2}" --target dokivo-crashtest dokivo-cli
work="$(mktemp -d "${TMPDIR:-/tmp}/dokivo-crash-long.XXXXXX")"
trap 'rm -rf "$work"' EXIT
start=$(date +%s)
"$build/bin/dokivo-crashtest" "$build/bin" "$work/tree" "$files" "$kills" "$seed"
echo "wall time $(( $(date +%s) - start )) s"
