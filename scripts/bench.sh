#!/usr/bin/env bash
# Builds and runs every benchmark, first on SQLite club files, then on a
# throwaway PostgreSQL server of its own (with fsync on, as a real server
# runs); the second run prints each benchmark's PostgreSQL / SQLite time.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
results="$(mktemp -d /tmp/moravel-bench.XXXXXX)"
server="$(mktemp -d /tmp/moravel-bench-pg.XXXXXX)"
trap '"$root/scripts/pg-test-server.sh" stop "$server"; rm -rf "$results"' EXIT
benches=(bench_year_setup bench_month_sheet bench_event_save bench_task_list bench_item_window bench_billing bench_contracts bench_listings bench_lookup bench_clone bench_point_of_sale bench_board)
status=0
for bench in "${benches[@]}"; do
  echo "== $bench on SQLite"
  "$root/build/bench/$bench" --benchmark_out="$results/$bench.json" \
    --benchmark_out_format=json || status=1
done
# Report work files are local SQLite files on either engine.
echo "== bench_prinzel"
"$root/build/bench/bench_prinzel" || status=1
postgres="$(MORAVEL_PG_FSYNC=on MORAVEL_PG_PORT=54339 "$root/scripts/pg-test-server.sh" start "$server")"
for bench in "${benches[@]}"; do
  echo "== $bench on PostgreSQL"
  MORAVEL_BENCH_POSTGRES="$postgres" MORAVEL_BENCH_SQLITE_RESULTS="$results/$bench.json" \
    "$root/build/bench/$bench" || status=1
done
exit $status
