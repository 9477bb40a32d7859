#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest: once
# on SQLite club files, then again with every club on a throwaway PostgreSQL
# server of its own.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
cd "$root/build"
echo "== Tests on SQLite"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"

server="$(mktemp -d /tmp/moravel-pg.XXXXXX)"
trap '"$root/scripts/pg-test-server.sh" stop "$server"' EXIT
echo "== Tests on PostgreSQL"
MORAVEL_TEST_POSTGRES="$("$root/scripts/pg-test-server.sh" start "$server")" \
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
