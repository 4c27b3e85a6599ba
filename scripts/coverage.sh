#!/usr/bin/env bash
# Builds the project with gcov instrumentation (Debug, no benchmarks) in its
# own folder, runs the test suite there and prints the line and branch
# coverage of every source file of the libraries, the desktop programs and
# platix, then the totals. Tests, fuzz targets, benchmarks, tools and
# generated files are left out of the table. Counters are reset before each
# run, so the figures always belong to the tests just run.
# Usage: scripts/coverage.sh [-R REGEX] [-D DIR]... [--json FILE] [--compare FILE] [--no-run]
#   -R REGEX     run only the tests ctest selects with REGEX
#   -D DIR       run only the tests defined under DIR of the build folder
#                (e.g. tests/rasterkit); may be given more than once
#   --json FILE  also save the per-file and total figures (gcovr's JSON
#                summary) to FILE
#   --compare FILE  also list the files whose line or branch coverage
#                differs by more than a point from FILE (saved by --json)
#   --no-run     neither build nor run: report the counters the last run left
# Environment: COVERAGE_DIR (default build-coverage), COVERAGE_JOBS (build
# and test jobs, default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${COVERAGE_DIR:-build-coverage}
jobs=${COVERAGE_JOBS:-2}
regex=
json=
compare=
run=1
dirs=()
while [ $# -gt 0 ]; do
  case "$1" in
    -R) regex=$2; shift 2 ;;
    -D) dirs+=("$2"); shift 2 ;;
    --json) json=$2; shift 2 ;;
    --compare) compare=$2; shift 2 ;;
    --no-run) run=0; shift ;;
    *) echo "usage: $0 [-R REGEX] [-D DIR]... [--json FILE] [--compare FILE] [--no-run]" >&2; exit 2 ;;
  esac
done
if [ ${#dirs[@]} -eq 0 ]; then
  dirs=(.)
fi

test_status=0
if [ "$run" -eq 1 ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DORVO_BUILD_BENCH=OFF \
    -DORVO_COVERAGE=ON >/dev/null
  cmake --build "$build" -j"$jobs"
  find "$build" -name '*.gcda' -delete

  # Failing tests still leave their counters; report them but print the table.
  : >"$build/coverage-ctest.log"
  for dir in "${dirs[@]}"; do
    ctest --test-dir "$build/$dir" -j"$jobs" --output-on-failure ${regex:+-R "$regex"} \
      >>"$build/coverage-ctest.log" 2>&1 || test_status=$?
  done
  grep -E '^[0-9]+% tests passed|tests failed out of' "$build/coverage-ctest.log" || true
fi

summary="$build/coverage-summary.json"
root=$(pwd)
# gcov runs where each object was compiled (found from the .gcda files);
# should a counter still come out unreadable (negative, from a build
# without atomic counters), gcovr skips that line rather than stop.
gcovr --root "$root" -j"$jobs" --gcov-ignore-parse-errors \
  --filter "$root/(common|pathutil|platform|rasterkit|glyphnet|platenet|learner|desktop|orvoplatix|orvotutrix|platix)/" \
  --exclude '.*_autogen/' \
  --exclude-unreachable-branches --exclude-throw-branches \
  --json-summary "$summary" --json-summary-pretty "$build" 2>"$build/coverage-gcovr.log" >/dev/null

python3 - "$summary" "$compare" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
def pct(covered, total):
    return f"{100.0 * covered / total:6.1f}" if total else "     -"
def rate(covered, total):
    return 100.0 * covered / total if total else 100.0
print(f"{'file':<60} {'lines':>7} {'line %':>6} {'branches':>8} {'br %':>6}")
for f in sorted(data["files"], key=lambda f: f["filename"]):
    print(f"{f['filename']:<60} {f['line_total']:>7} {pct(f['line_covered'], f['line_total'])} "
          f"{f['branch_total']:>8} {pct(f['branch_covered'], f['branch_total'])}")
print(f"{'TOTAL':<60} {data['line_total']:>7} {pct(data['line_covered'], data['line_total'])} "
      f"{data['branch_total']:>8} {pct(data['branch_covered'], data['branch_total'])}")
if sys.argv[2]:
    old = json.load(open(sys.argv[2]))
    before = {f["filename"]: f for f in old["files"]}
    print(f"\nchanges of more than a point against {sys.argv[2]} (line %, branch %: before -> now)")
    for f in sorted(data["files"], key=lambda f: f["filename"]):
        o = before.get(f["filename"])
        if o is None:
            continue
        l0, l1 = rate(o["line_covered"], o["line_total"]), rate(f["line_covered"], f["line_total"])
        b0, b1 = rate(o["branch_covered"], o["branch_total"]), rate(f["branch_covered"], f["branch_total"])
        if abs(l1 - l0) > 1 or abs(b1 - b0) > 1:
            print(f"{f['filename']:<60} {l0:6.1f} -> {l1:6.1f}   {b0:6.1f} -> {b1:6.1f}")
    print(f"{'TOTAL':<60} {rate(old['line_covered'], old['line_total']):6.1f} -> "
          f"{rate(data['line_covered'], data['line_total']):6.1f}   "
          f"{rate(old['branch_covered'], old['branch_total']):6.1f} -> "
          f"{rate(data['branch_covered'], data['branch_total']):6.1f}")
PY

if [ -n "$json" ]; then
  cp "$summary" "$json"
fi
if [ "$test_status" -ne 0 ]; then
  echo "some tests failed (see $build/coverage-ctest.log)" >&2
fi
exit "$test_status"
