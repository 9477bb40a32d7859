#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need; a no-op
# when they are all present.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql libsqlite3-dev
  libgtest-dev libbenchmark-dev libgmp-dev
  xvfb xauth poppler-utils fonts-dejavu-core fonts-wqy-microhei
  postgresql libkainjow-mustache-dev
  python3 python3-icalendar khal radicale python3-caldav vdirsyncer curl
  dpkg-dev file lintian
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
