#!/usr/bin/env bash
# Builds the libFuzzer target with clang, AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs it for SECONDS (default 60) from the committed seed corpus. New inputs go to a scratch
# folder; copy any that expose a fault into tests/hardening/corpus/ so the property test keeps it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQX_FUZZ=ON -DQX_SANITIZE=address,undefined -DQX_EDITOR_BACKEND=headless >/dev/null
cmake --build build/fuzz -j "${JOBS:-2}" --target qx_fuzz
mkdir -p build/fuzz/new-inputs
build/fuzz/tests/hardening/qx_fuzz -dict=tests/hardening/fuzz.dict -max_total_time="$seconds" -rss_limit_mb=4096 -max_len=16384 \
  -print_final_stats=1 build/fuzz/new-inputs tests/hardening/corpus 2>&1 | tail -25
