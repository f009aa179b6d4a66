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
    liblilv-dev lilv-utils libsuil-dev sox
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
