#!/usr/bin/env bash
# Builds the project twice, plainly and with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole test suite in both builds.
# Build folders: build/ and build-sanitize/ (override with BUILD_DIR and
# SANITIZE_DIR).
# When clang is installed (scripts/install-deps.sh installs it), the fuzz
# targets are then built with it as well and each runs for FUZZ_SECONDS
# seconds (default 10; 0 skips the step, scripts/fuzz.sh runs longer ones);
# any crash, leak or slow input fails the run. Build folder: build-fuzz/
# (override with FUZZ_BUILD_DIR).
# With ccache installed every compiler call goes through it, keyed on paths
# relative to the repository, so a second clone or a rebuild reuses objects.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
build=${BUILD_DIR:-build}
sanitize=${SANITIZE_DIR:-build-sanitize}

if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
fi

run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" "$@"
  cmake --build "$dir" -j"$jobs"
  # A build folder left by the README's first command has the tests off in
  # its cache; they are asked for explicitly, and an empty suite fails.
  ctest --test-dir "$dir" --output-on-failure --no-tests=error -j"$jobs"
}

echo "== plain build"
run_suite "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVO_BUILD_TESTS=ON -DORVO_BUILD_BENCH=ON

echo "== sanitizer build"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The benchmarks are built and checked in the plain build only.
run_suite "$sanitize" -DCMAKE_BUILD_TYPE=Debug -DORVO_SANITIZE=ON -DORVO_BUILD_TESTS=ON -DORVO_BUILD_BENCH=OFF

fuzz_seconds=${FUZZ_SECONDS:-10}
if [ "$fuzz_seconds" -gt 0 ] && command -v clang >/dev/null && command -v clang++ >/dev/null; then
  echo "== fuzz targets, ${fuzz_seconds}s each"
  unset ASAN_OPTIONS UBSAN_OPTIONS
  FUZZ_JOBS=$jobs scripts/fuzz.sh "$fuzz_seconds"
else
  echo "== fuzz targets skipped (no clang, or FUZZ_SECONDS=0)"
fi
