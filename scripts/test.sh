#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test suite through CTest; then the fuzz
# targets for a bounded time and the core suites again under AddressSanitizer and UBSan.
#   SANITIZERS=0 scripts/test.sh   skips the fuzz and sanitizer rounds (a quick local run)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen

# The power-cut rounds (ctest crash_power_cut) need LazyFS, built once from the shared tools beside
# the clone into a cache outside it; where it cannot be built or run they say so and skip, unless
# DOKIVO_POWER_CUT=required (CI) makes that a failure.
export DOKIVO_LAZYFS=${DOKIVO_LAZYFS:-/var/cache/dokivo/lazyfs}
lazyfs_source=$(dirname "$(pwd)")/shared/tools/lazyfs
if [ ! -x "$DOKIVO_LAZYFS/bin/lazyfs" ] && [ -x "$lazyfs_source/build.sh" ] && [ "$(id -u)" = 0 ]; then
    echo "== Building LazyFS into $DOKIVO_LAZYFS"
    "$lazyfs_source/build.sh" "$DOKIVO_LAZYFS" || echo "LazyFS could not be built: the power-cut rounds will say so"
fi
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j "$(nproc)"

[ "${SANITIZERS:-1}" = 0 ] && exit 0

echo "== Fuzz targets, ${FUZZ_SECONDS:-20} s each"
tests/fuzz/run.sh "${FUZZ_SECONDS:-20}" "$(pwd)/build-fuzz"

echo "== Core and tool suites under AddressSanitizer and UBSan"
BUILD_DIR=build-asan BUILD_TYPE=RelWithDebInfo scripts/build.sh -DDOKIVO_SANITIZE=ON -DDOKIVO_BUILD_GUI=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)" -E 'crash_(kill_short|power_cut)'
