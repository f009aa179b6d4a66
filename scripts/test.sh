#!/usr/bin/env bash
# Builds everything and runs every test. This is what CI runs.
#   1. the three modules and the Linux test tree (unit, interface, Windows-under-wine tests),
#      and the artwork generator's check that the committed bitmaps fit the editor
#   2. the whole suite again with AddressSanitizer + UndefinedBehaviorSanitizer
#   3. the thread test with ThreadSanitizer
#   4. the fuzzer for a bounded time from the committed seed corpus
# Set QX_QUICK=1 to stop after the first stage. Ends with a summary: the stage that failed, or
# that all passed, and the x86 checks skipped where the kernel runs no 32-bit programs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-2}
stage=setup
summary() {
  local status=$?
  echo "== summary"
  if [ $status -eq 0 ]; then
    echo "passed in $((SECONDS / 60)) min $((SECONDS % 60)) s$([ "${QX_QUICK:-0}" = 1 ] && echo " (QX_QUICK=1: the first stage only)")"
  else
    echo "FAILED in stage: $stage"
  fi
  if [ -f build/linux/x86-skipped.txt ]; then
    echo "x86 checks SKIPPED (ctest lists them as Skipped): $(cat build/linux/x86-skipped.txt)"
  fi
}
trap summary EXIT
"$root/scripts/setup.sh"

echo "== build and test"
stage="build and test"
"$root/scripts/build.sh"
ctest --test-dir build/linux --output-on-failure -j "$jobs"

echo "== artwork agrees with the editor's tables"
stage=artwork
cmake -S tools/artgen -B build/artgen -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/artgen -j "$jobs"
ctest --test-dir build/artgen --output-on-failure
[ "${QX_QUICK:-0}" = 1 ] && exit 0

echo "== address and undefined-behaviour sanitizers"
stage="address and undefined-behaviour sanitizers"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQX_SANITIZE=address,undefined >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions="$root/tests/lsan.supp" \
  ctest --test-dir build/asan --output-on-failure -j "$jobs"

echo "== thread sanitizer"
stage="thread sanitizer"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQX_SANITIZE=thread \
  -DQX_EDITOR_BACKEND=headless >/dev/null
cmake --build build/tsan -j "$jobs" --target hardening_tests
TSAN_OPTIONS=halt_on_error=1 build/tsan/tests/hardening/hardening_tests --gtest_filter='Threads.*'

echo "== fuzzing"
stage=fuzzing
"$root/scripts/fuzz.sh" "${QX_FUZZ_SECONDS:-60}"
