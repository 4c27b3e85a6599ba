#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for SECONDS seconds, one after
# the other, starting from the generated seed corpus and the kept
# regression inputs. Crashing, leaking or slow (over 10 s) inputs land in
# build-fuzz/findings/TARGET/; copy each into fuzz/regressions/TARGET/ once
# fixed, so that ctest replays it. Exits 1 when any target found something.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
# Environment: FUZZ_BUILD_DIR (default build-fuzz), FUZZ_JOBS (build jobs,
# default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
build=${FUZZ_BUILD_DIR:-build-fuzz}
jobs=${FUZZ_JOBS:-2}

CC=clang CXX=clang++ cmake -S . -B "$build" -DFUZZ=ON -DORVO_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(sed -n 's/^set(ORVO_FUZZ_TARGETS \(.*\))$/\1/p' fuzz/CMakeLists.txt | tr ' ' '\n')
fi
cmake --build "$build" -j"$jobs" --target make_samples fuzz_seed_writer $(printf 'fuzz_%s ' "${targets[@]}")
"$build"/tools/make_samples/make_samples --seeds "$build/fuzz-seeds"
"$build"/fuzz/fuzz_seed_writer "$build/fuzz-seeds"

status=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  findings="$build/findings/$t"
  mkdir -p "$corpus" "$findings" "fuzz/regressions/$t"
  echo "== fuzz_$t for ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 "$build/fuzz/fuzz_$t" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -max_len=65536 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$corpus" "$build/fuzz-seeds/$t" "fuzz/regressions/$t" \
      2>"$build/fuzz_$t.log"; then
    echo "   finding: see $build/fuzz_$t.log and $findings/"
    status=1
  fi
  grep -E '^#[0-9]+.*(DONE|pulse)' "$build/fuzz_$t.log" | tail -1 || true
done
exit $status
