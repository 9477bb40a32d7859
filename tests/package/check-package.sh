#!/usr/bin/env bash
# Makes the Debian package from a finished build and checks it as a club gets
# it: what it holds and declares, what lintian says of it, and that the
# programs work from where the package puts them, not from the build tree.
#   check-package.sh CPACK BUILD_DIR SOURCE_DIR
set -euo pipefail
cpack="$1"
build="$2"
source="$3"

if [ -n "${MORAVEL_TEST_POSTGRES:-}" ]; then
    echo "The package does not depend on the engine: it is checked on the SQLite run."
    exit 77
fi

work="$(mktemp -d /tmp/moravel-package.XXXXXX)"
moravel_pid=""
# The launcher runs in a process group of its own, so that ending the group
# ends the moravel it started too, however this script ends.
stop_demo() {
    [ -n "$moravel_pid" ] || return 0
    kill -TERM -- "-$moravel_pid" 2>/dev/null || true
    for _ in $(seq 20); do
        kill -0 -- "-$moravel_pid" 2>/dev/null || break
        sleep 0.25
    done
    kill -KILL -- "-$moravel_pid" 2>/dev/null || true
    wait "$moravel_pid" 2>/dev/null || true
    moravel_pid=""
}
cleanup() {
    stop_demo
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

echo "== Making the package"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; exit 1; }
shopt -s nullglob
debs=("$work"/out/moravel_*_amd64.deb)
shopt -u nullglob
[ ${#debs[@]} -eq 1 ] || { cat "$work/cpack.log"; echo "FAIL: no single moravel_*_amd64.deb" >&2; exit 1; }
deb="${debs[0]}"
basename "$deb"

echo "== Contents"
dpkg-deb -c "$deb" >"$work/contents"
has() { # has MODE PATH: PATH is in the package with permissions MODE, owned by root
    grep -Eq "^$1 root/root .* \./$2\$" "$work/contents" || fail "the package lacks $2 ($1 root/root)"
}
for program in moravel moravel-club prinzel moravel-demo; do
    has -rwxr-xr-x "usr/bin/$program"
    has -rw-r--r-- "usr/share/man/man1/$program.1.gz"
done
has -rw-r--r-- usr/share/applications/moravel-demo.desktop
has -rw-r--r-- usr/share/icons/hicolor/scalable/apps/moravel.svg
for size in 48 128 256; do
    has -rw-r--r-- "usr/share/icons/hicolor/${size}x$size/apps/moravel.png"
done
has -rw-r--r-- usr/share/doc/moravel/copyright
has -rw-r--r-- usr/share/doc/moravel/changelog.gz
while read -r shipped; do
    has -rw-r--r-- "usr/share/moravel/$shipped"
done < <(cd "$source/share" && find . -type f | sed 's|^\./||')

depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6gui6 libqt6sql6 libqt6printsupport6 \
    libqt6sql6-sqlite libqt6sql6-psql fonts-dejavu-core; do
    [[ ", $depends," == *", $needed "* || ", $depends," == *", $needed,"* ]] ||
        fail "Depends lacks $needed"
done
version="$(dpkg-deb -f "$deb" Version)"
dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/doc/moravel/changelog.gz | gzip -dc |
    head -n1 | grep -q "^moravel ($version) " ||
    fail "the changelog's first entry is not for version $version"

echo "== lintian"
# Warnings are shown but pass; an error, or lintian failing to run, does not.
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 && linted=0 || linted=$?
cat "$work/lintian.log"
[ "$linted" -eq 0 ] || fail "lintian reports errors (exit $linted)"

echo "== The programs, unpacked as installed"
root="$work/root"
dpkg -x "$deb" "$root"
# A file only the unpacked copy holds: seen in a club, it proves the programs
# took the shipped files from beside themselves and not from the source tree.
echo "unpacked" >"$root/usr/share/moravel/club/fromthepackage.txt"
run() {
    env -u MORAVEL_SHARE_DIR -u MORAVEL_CLUB -u DISPLAY -u WAYLAND_DISPLAY \
        QT_QPA_PLATFORM=offscreen TMPDIR="$work" XDG_RUNTIME_DIR="$work/runtime" \
        XDG_DATA_HOME="$work/data" "$@"
}
mkdir -m 700 "$work/runtime"

club="$work/club"
run "$root/usr/bin/moravel-club" create "$club" --demo || fail "moravel-club create --demo"
for file in evntcon1.rpt cbterms.txt fromthepackage.txt; do
    [ -f "$club/$file" ] || fail "the new club lacks $file"
done

cp "$club/rpt00.sys" "$club/rpt05.mdb"
printf 'Crystal~\nReportFileName=evntcon1.rpt~\nDataFiles(0)=rpt05.mdb~\n' >"$work/block.txt"
run "$root/usr/bin/prinzel" --club "$club" --pdf "$work/report.pdf" "$work/block.txt" ||
    fail "prinzel --pdf"
[ "$(head -c 5 "$work/report.pdf" 2>/dev/null)" = "%PDF-" ] || fail "prinzel wrote no PDF"

# Each manual page names every command and option its program's usage shows.
documents() { # documents PROGRAM USAGE: the manual page of PROGRAM names what USAGE does
    local page words
    page="$(MANWIDTH=250 man -l "$root/usr/share/man/man1/$1.1.gz" 2>/dev/null)"
    words="$(grep -oE -- "--[a-z-]+|^ *(usage: )?$1 [a-z-]+" <<<"$2" | sed 's/^ *\(usage: \)\?//' | sort -u)"
    [ -n "$words" ] || fail "no usage of $1 to compare with its manual page"
    while read -r word; do
        grep -qF -- "$word" <<<"$page" || fail "the manual page of $1 lacks \"$word\""
    done <<<"$words"
}
documents moravel "$(run "$root/usr/bin/moravel" --help 2>&1)"
documents moravel-club "$(run "$root/usr/bin/moravel-club" 2>&1 || true)"
documents prinzel "$(run "$root/usr/bin/prinzel" --help 2>&1)"

# The launcher makes the demo club on first start; --help reaches moravel,
# which shows it and ends.
demo="$work/data/moravel/demo-club"
run "$root/usr/bin/moravel-demo" --help >"$work/demo.log" 2>&1 || fail "moravel-demo --help"
grep -q -- "--club" "$work/demo.log" || fail "moravel-demo did not run moravel --help"
[ -f "$demo/fromthepackage.txt" ] || fail "moravel-demo made no demo club from the package"
[ ! -e "$demo.new" ] || fail "moravel-demo left $demo.new behind"

# The second start opens the club. The event window's start-up copies in the
# shipped files the club lacks: the marker coming back shows that it got
# that far and read the files beside itself. The window then stays open.
rm -f "$demo/fromthepackage.txt"
setsid env -u MORAVEL_SHARE_DIR -u MORAVEL_CLUB -u DISPLAY -u WAYLAND_DISPLAY \
    QT_QPA_PLATFORM=offscreen TMPDIR="$work" XDG_RUNTIME_DIR="$work/runtime" \
    XDG_DATA_HOME="$work/data" "$root/usr/bin/moravel-demo" >>"$work/demo.log" 2>&1 &
moravel_pid=$!
for _ in $(seq 120); do
    [ -f "$demo/fromthepackage.txt" ] || ! kill -0 "$moravel_pid" 2>/dev/null && break
    sleep 0.5
done
[ -f "$demo/fromthepackage.txt" ] || { cat "$work/demo.log"; fail "moravel did not start up on the demo club"; }
stop_demo
pgrep -f "$root/usr/bin/moravel " >/dev/null && fail "moravel still runs after the launcher was ended"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "The package is sound."
