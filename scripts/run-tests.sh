#!/usr/bin/env bash
# Builds the project twice, plainly and with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole test suite in both builds.
# Build folders: build/ and build-sanitize/ (override with BUILD_DIR and
# SANITIZE_DIR).
# When clang is installed (scripts/install-deps.sh installs it), the fuzz
# targets are then built with it as well and each runs for FUZZ_SECONDS
# seconds (default 30; 0 skips the step); any crash, leak or slow input
# fails the run. Build folder: build-fuzz/ (override with FUZZ_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
build=${BUILD_DIR:-build}
sanitize=${SANITIZE_DIR:-build-sanitize}

run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" "$@"
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

echo "== plain build"
run_suite "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo

echo "== sanitizer build"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite "$sanitize" -DCMAKE_BUILD_TYPE=Debug -DORVO_SANITIZE=ON

fuzz_seconds=${FUZZ_SECONDS:-30}
if [ "$fuzz_seconds" -gt 0 ] && command -v clang >/dev/null && command -v clang++ >/dev/null; then
  echo "== fuzz targets, ${fuzz_seconds}s each"
  unset ASAN_OPTIONS UBSAN_OPTIONS
  FUZZ_JOBS=$jobs scripts/fuzz.sh "$fuzz_seconds"
else
  echo "== fuzz targets skipped (no clang, or FUZZ_SECONDS=0)"
fi
