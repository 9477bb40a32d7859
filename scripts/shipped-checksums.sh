#!/usr/bin/env bash
# Writes share/club/.shipped.sha256: the SHA-256 of every version of every
# file this program has shipped into club directories, from the project's
# history and the working tree. An upgrade replaces a club's file only when
# it is one of these (the club never edited it). Run after changing a file
# under share/club, and commit the result with the change.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
out=share/club/.shipped.sha256
{
  git log --format=%H -- share/club | while read -r commit; do
    git ls-tree -r --name-only "$commit" -- share/club | while read -r path; do
      name="${path#share/club/}"
      [ "$name" = ".shipped.sha256" ] && continue
      printf '%s  %s\n' "$(git show "$commit:$path" | sha256sum | cut -d' ' -f1)" "$name"
    done
  done
  find share/club -type f ! -name .shipped.sha256 | while read -r path; do
    printf '%s  %s\n' "$(sha256sum < "$path" | cut -d' ' -f1)" "${path#share/club/}"
  done
} | sort -u -k2,2 -k1,1 > "$out"
echo "$(wc -l < "$out") shipped versions in $out"
