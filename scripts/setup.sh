#!/usr/bin/env bash
# Installs what building and testing need, from Debian's archive. Does nothing when all is there.
# Runs as root, or as another user through sudo. Every tool is looked up on PATH, so a test can
# put stand-ins for the package tools in front (tests/setup).
set -euo pipefail

# --minimal: only what the Linux module and the command-line host need (the demo).
packages=(cmake ninja-build g++ pkg-config libsndfile1-dev libx11-dev libcairo2-dev libebur128-dev
          lv2-dev)
if [ "${1:-}" != "--minimal" ]; then
  packages+=(
    clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine64 xvfb xauth x11-utils libxtst-dev xdotool
    liblilv-dev lilv-utils libsuil-dev sordi sox fonts-dejavu-core fonts-dejavu-extra
  )
fi

# The package tools' answers are read whole and then matched, never piped into `grep -q`: under
# pipefail that pipeline fails whenever grep stops at its match while the tool is still writing
# (the tool dies of SIGPIPE), which once made a long `apt-cache policy` answer read as "no
# candidate".
as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    echo "setup: installing packages needs root: run this as root or install sudo" >&2
    exit 1
  fi
}
# Another installation may hold the package lock for a while; wait for it rather than fail.
apt_get() { as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 "$@"; }
installed() {
  local status
  status=$(dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null) || return 1
  [[ $status == *"install ok installed"* ]]
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  apt_get update -qq
  apt_get install -y -qq "${missing[@]}" >/dev/null
fi

# The x86 module runs under 32-bit wine, which comes from Debian's i386 architecture.
if [ "${1:-}" != "--minimal" ] && ! installed wine32:i386; then
  foreign=$(dpkg --print-foreign-architectures)
  if ! [[ $'\n'$foreign$'\n' == *$'\n'i386$'\n'* ]]; then
    echo "setup: adding the i386 architecture for 32-bit wine"
    as_root dpkg --add-architecture i386
  fi
  apt_get update -qq
  policy=$(apt-cache policy wine32:i386 2>/dev/null) || policy=
  if [[ $policy =~ Candidate:\ [0-9] ]]; then
    echo "setup: installing wine32:i386"
    apt_get install -y -qq wine32:i386 >/dev/null
  else
    # Setup carries on so everything else can be tested; the x86 checks then fail the run
    # (where the kernel runs 32-bit programs; elsewhere they are skipped anyway).
    echo "setup: the package archive offers no i386 packages, so wine32:i386 cannot be" \
         "installed and the x86 module's tests will fail" >&2
  fi
fi
