#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo club directory if there
# is none, and starts Moravel there as operator DEMO at level 99.
# Extra arguments are passed to moravel before the suite command line.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
club="${MORAVEL_CLUB:-$root/demo-club}"
if [ ! -d "$club" ]; then
  "$root/build/tools/moravel-club" create "$club" --demo
fi
cmd=("$root/build/src/app/moravel" --club "$club" "$@" ZQJ99DEMO)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: running under a virtual X server (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1600x1000x24" "${cmd[@]}"
fi
exec "${cmd[@]}"
