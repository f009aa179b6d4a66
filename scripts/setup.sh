#!/usr/bin/env bash
# Installs what building and testing need, from Debian's archive. Does nothing when all is there.
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

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The x86 module runs under 32-bit wine, which comes from Debian's i386 architecture.
if [ "${1:-}" != "--minimal" ] && ! installed wine32:i386; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture for 32-bit wine"
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  if apt-cache policy wine32:i386 2>/dev/null | grep -q 'Candidate: [0-9]'; then
    echo "setup: installing wine32:i386"
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq wine32:i386 >/dev/null
  else
    # Setup carries on so everything else can be tested; the x86 checks then fail the run.
    echo "setup: the package archive offers no i386 packages, so wine32:i386 cannot be" \
         "installed and the x86 module's tests will fail" >&2
  fi
fi
