#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests, in a folder of its own and
# listening on a Unix socket there only:
#   scripts/pg-test-server.sh start DIR   prints the MORAVEL_TEST_POSTGRES value
#   scripts/pg-test-server.sh stop DIR
# The server refuses to run as root, so as root it runs as the postgres user
# that the package creates.
set -euo pipefail
action="${1:?start or stop}"
dir="${2:?the folder of the server}"
bin="$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n1)"
port="${MORAVEL_PG_PORT:-54329}"
# The tests' server need not survive a crash; a benchmark's must be honest.
fsync="${MORAVEL_PG_FSYNC:-off}"

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

case "$action" in
  start)
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
    as_owner "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --no-locale >"$dir/initdb.log"
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
      -o "-k $dir -c listen_addresses='' -p $port -c fsync=$fsync -c max_connections=200" start >/dev/null
    echo "host=$dir port=$port user=postgres"
    ;;
  stop)
    as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null || true
    rm -rf "$dir"
    ;;
  *)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
