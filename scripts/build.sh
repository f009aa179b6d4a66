#!/usr/bin/env bash
# Builds the three modules (Linux x86_64 .so, Windows x86 and x64 DLLs) with their test hosts,
# and the Linux tests, into build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-2}

for arch in i686 x86_64; do
  dir=build/win-$arch
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" -DQX_BUILD_TESTS=OFF >/dev/null
  cmake --build "$dir" -j "$jobs"
done

cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQX_WIN32_BUILD="$root/build/win-i686" -DQX_WIN64_BUILD="$root/build/win-x86_64" >/dev/null
cmake --build build/linux -j "$jobs"
