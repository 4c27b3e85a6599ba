#!/usr/bin/env bash
# At-least-once check of `platix worker`: JOBS jobs (paths of the JPEG
# files of FOLDER, in turn) through 3 workers on a private redis-server,
# one worker killed with SIGKILL every few seconds and started again.
# Prints the results, the distinct job ids answered, the duplicates and
# the dead letters.
# usage: scripts/queue-chaos.sh PLATIX FOLDER [JOBS] [KILL_EVERY_SECONDS]
set -euo pipefail
platix=$1 folder=$2 jobs=${3:-2000} every=${4:-3}
dir=$(mktemp -d)
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
redis-server --port "$port" --bind 127.0.0.1 --save '' --appendonly no --dir "$dir" --logfile "$dir/redis.log" &
redis_pid=$!
cli() { redis-cli -p "$port" "$@"; }
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  kill "$redis_pid" 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT
until cli PING >/dev/null 2>&1; do sleep 0.1; done

mapfile -t files < <(ls "$folder"/*.jpg)
for ((i = 0; i < jobs; i++)); do
  echo "XADD jobs * id job-$i path ${files[i % ${#files[@]}]}"
done | cli >/dev/null

start_worker() {
  "$platix" worker --quiet --redis "redis://127.0.0.1:$port" --stream jobs --group readers \
    --consumer "w$1" --claim-after 2000 2>>"$dir/workers.err" &
  pids[$2]=$!
}
n=0
for k in 0 1 2; do start_worker $((n++)) $k; done
t0=$(date +%s.%N)
kills=0
while (( $(cli XLEN jobs:results) < jobs )); do
  sleep "$every"
  k=$((kills % 3))
  kill -9 "${pids[k]}" 2>/dev/null || true
  wait "${pids[k]}" 2>/dev/null || true
  kills=$((kills + 1))
  start_worker $((n++)) $k
done
t1=$(date +%s.%N)
sleep 3  # a late duplicate from a claimed job
results=$(cli XLEN jobs:results)
distinct=$(cli --raw XRANGE jobs:results - + | awk 'prev == "id" { print } { prev = $0 }' | sort -u | wc -l)
echo "jobs $jobs, workers killed $kills, results $results, distinct ids $distinct," \
     "duplicates $((results - distinct)), dead letters $(cli XLEN jobs:dead)," \
     "pending $(cli XPENDING jobs readers | head -1), $(python3 -c "print(f'{$jobs / ($t1 - $t0):.1f}')") jobs/s"
