#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest: once
# on SQLite club files, then again with every club on a throwaway PostgreSQL
# server of its own. Prints how long the build and each pass took.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds() { echo $(($(date +%s) - $1)); }

started=$(date +%s)
"$root/scripts/build.sh"
build_time=$(seconds "$started")
echo "== Build: ${build_time} s"
cd "$root/build"

started=$(date +%s)
echo "== Tests on SQLite"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
sqlite_time=$(seconds "$started")
echo "== Tests on SQLite: ${sqlite_time} s"

server="$(mktemp -d /tmp/moravel-pg.XXXXXX)"
trap '"$root/scripts/pg-test-server.sh" stop "$server"' EXIT
started=$(date +%s)
echo "== Tests on PostgreSQL"
# Tests labelled engine-free (the report program's) never open a club, so
# they run once.
MORAVEL_TEST_POSTGRES="$("$root/scripts/pg-test-server.sh" start "$server")" \
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" -LE engine-free
postgres_time=$(seconds "$started")
echo "== Tests on PostgreSQL: ${postgres_time} s"
echo "== Build ${build_time} s, SQLite ${sqlite_time} s, PostgreSQL ${postgres_time} s"
