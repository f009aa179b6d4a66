#!/usr/bin/env bash
# Builds everything and runs every test. This is what CI runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
ctest --test-dir build/linux --output-on-failure -j "${JOBS:-2}"
