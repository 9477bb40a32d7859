#!/usr/bin/env bash
# A throwaway CalDAV server (Radicale) for the publishing tests and for
# trying publishing by hand, on a loopback port with its storage in a folder
# of its own, one user and an empty calendar collection:
#   scripts/radicale-test-server.sh start DIR [PORT]   prints the calendar's URL
#   scripts/radicale-test-server.sh stop DIR
# The user is "clubcal", its password "clubcal-secret"; the storage folder
# is DIR/storage, the collection DIR/storage/collection-root/clubcal/events.
set -euo pipefail
action="${1:?start or stop}"
dir="${2:?the folder of the server}"
user=clubcal
password=clubcal-secret

case "$action" in
  start)
    port="${3:-5232}"
    mkdir -p "$dir/storage"
    printf '%s:%s\n' "$user" "$password" >"$dir/users"
    /usr/bin/radicale --config "" \
      --server-hosts "127.0.0.1:$port" \
      --storage-filesystem-folder "$dir/storage" \
      --auth-type htpasswd --auth-htpasswd-filename "$dir/users" \
      --auth-htpasswd-encryption plain --rights-type owner_only \
      >"$dir/server.log" 2>&1 &
    echo $! >"$dir/pid"
    url="http://127.0.0.1:$port/$user/events/"
    # The calendar collection, made as a calendar program makes one (a
    # server started again on its old storage has it already).
    for _ in $(seq 1 100); do
      status=$(curl -s -o /dev/null -w '%{http_code}' -u "$user:$password" -X MKCALENDAR "$url" \
        -H 'Content-Type: application/xml' \
        --data '<?xml version="1.0"?><C:mkcalendar xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav"><D:set><D:prop><D:displayname>Club events</D:displayname></D:prop></D:set></C:mkcalendar>' \
        || true)
      case "$status" in
        201 | 405 | 409) echo "$url"; exit 0 ;;
        000) sleep 0.1 ;;
        *) echo "MKCALENDAR $url answered $status" >&2; exit 1 ;;
      esac
    done
    echo "Radicale did not start; see $dir/server.log" >&2
    exit 1
    ;;
  stop)
    if [ -f "$dir/pid" ]; then
      kill "$(cat "$dir/pid")" 2>/dev/null || true
      rm -f "$dir/pid"
    fi
    ;;
  *)
    echo "usage: $0 start DIR [PORT] | stop DIR" >&2
    exit 2
    ;;
esac
