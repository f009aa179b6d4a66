#!/usr/bin/env bash
# setup_decisions.sh SETUP WORK: runs scripts/setup.sh against stand-in package tools and checks
# what it would install. The stand-ins are the only thing on PATH, so nothing real is installed.
# They log each privileged call as "root: ..." or "sudo: ..." (when reached through sudo).
set -euo pipefail
setup=$1 work=$2
bin=$work/bin
rm -rf "$work"
mkdir -p "$bin"
stand_in() { printf '#!/bin/bash\n%s\n' "$2" >"$bin/$1"; chmod +x "$bin/$1"; }
ln -s "$(command -v env)" "$bin/env"
stand_in id '[ "$1" = -u ] && echo "$FAKE_UID"'
stand_in sudo 'FAKE_VIA_SUDO=1 exec "$@"'
who='$([ -n "${FAKE_VIA_SUDO:-}" ] && echo sudo || { [ "$FAKE_UID" = 0 ] && echo root || echo user; })'
# FAKE_INSTALLED: none, all, or all-but-wine32.
stand_in dpkg-query '
case "$FAKE_INSTALLED:${@: -1}" in
  all-but-wine32:wine32:i386|none:*) echo "dpkg-query: no packages found matching ${@: -1}" >&2; exit 1 ;;
  *) echo "install ok installed" ;;
esac'
stand_in dpkg '
case $1 in
  --print-foreign-architectures) cat "$FAKE_WORK/foreign" 2>/dev/null || true ;;
  --add-architecture) echo "'"$who"': dpkg $*" >>"$FAKE_WORK/log"; echo "$2" >>"$FAKE_WORK/foreign" ;;
esac'
stand_in apt-get '
args=(); while [ $# -gt 0 ]; do [ "$1" = -o ] && shift 2 && continue; args+=("$1"); shift; done
echo "'"$who"': apt-get ${DEBIAN_FRONTEND:-interactive} ${args[*]}" >>"$FAKE_WORK/log"'
# FAKE_ARCHIVE_I386=1: the archive has wine32:i386, and answers at length (a version table
# well past a pipe buffer, written line by line) as apt-cache does on a machine with many sources.
stand_in apt-cache '
[ "$FAKE_ARCHIVE_I386" = 1 ] && grep -qx i386 "$FAKE_WORK/foreign" 2>/dev/null || {
  echo "N: Unable to locate package wine32:i386" >&2; exit 0; }
printf "wine32:i386:\n  Installed: (none)\n  Candidate: 8.0~repack-4\n  Version table:\n"
for i in {1..6000}; do
  echo "     8.0~repack-4 500 http://deb.debian.org/debian bookworm/main i386 Packages ($i)"
done'
ln -s "$(command -v grep)" "$bin/grep"

failures=0
# run NAME UID INSTALLED ARCHIVE_I386 [SETUP ARGS]: a fresh log, no foreign architecture yet.
run() {
  name=$1
  rm -f "$work/log" "$work/foreign"
  touch "$work/log"
  FAKE_WORK=$work FAKE_UID=$2 FAKE_INSTALLED=$3 FAKE_ARCHIVE_I386=$4 PATH=$bin \
    /bin/bash "$setup" "${@:5}" >"$work/out" 2>&1 || { echo "$name: setup failed"; cat "$work/out"; failures=$((failures + 1)); }
}
expect() {
  local line
  for line in "$@"; do
    grep -qxF -- "$line" "$work/log" && continue
    echo "$name: expected \"$line\"; setup did:"; sed 's/^/  /' "$work/log"; cat "$work/out"
    failures=$((failures + 1))
  done
}
expect_lines() {
  [ "$(wc -l <"$work/log")" -eq "$1" ] && return
  echo "$name: expected $1 privileged calls; setup did:"; sed 's/^/  /' "$work/log"; cat "$work/out"
  failures=$((failures + 1))
}
all="cmake ninja-build g++ pkg-config libsndfile1-dev libx11-dev libcairo2-dev libebur128-dev lv2-dev"
full="$all clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev g++-mingw-w64-i686\
 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine64 xvfb xauth x11-utils\
 libxtst-dev xdotool liblilv-dev lilv-utils libsuil-dev sordi sox fonts-dejavu-core fonts-dejavu-extra"

# A fresh machine, a user with sudo, an archive with i386 answering at length: everything,
# then the i386 architecture and 32-bit wine, all through sudo and without questions.
run "fresh machine" 1000 none 1
expect "sudo: apt-get noninteractive update -qq" "sudo: apt-get noninteractive install -y -qq $full" \
       "sudo: dpkg --add-architecture i386" "sudo: apt-get noninteractive install -y -qq wine32:i386"
expect_lines 5
# The demo's setup on a fresh machine, as root: the Linux build's packages only.
run "minimal" 0 none 1 --minimal
expect "root: apt-get noninteractive install -y -qq $all"
expect_lines 2
# An archive without i386: the architecture is added, wine32 is not installed, and setup says why
# but carries on.
run "archive without i386" 0 all-but-wine32 0
expect "root: dpkg --add-architecture i386"
expect_lines 2
grep -q "offers no i386 packages" "$work/out" || { echo "$name: no word about i386"; failures=$((failures + 1)); }
# A machine that has everything: no privileged call at all.
run "everything there" 1000 all 1
expect_lines 0

[ "$failures" -eq 0 ] && echo "setup decided as expected in 4 situations"
exit $((failures > 0))
