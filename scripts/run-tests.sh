#!/usr/bin/env bash
# Builds the project twice, plainly and with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole test suite in both builds.
# Build folders: build/ and build-sanitize/ (override with BUILD_DIR and
# SANITIZE_DIR).
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
