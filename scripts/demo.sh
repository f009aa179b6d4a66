#!/usr/bin/env bash
# The main job: build the Linux plug-in and the test host, make the built-in demo signal, run it
# through the plug-in (default program, Input at 0.5) and write the files and a plot into out/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh" --minimal
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DQX_BUILD_TESTS=OFF >/dev/null
cmake --build build/demo -j "${JOBS:-2}" --target qx_module qxhost
mkdir -p out
qxhost=build/demo/host/qxhost
"$qxhost" demo out/demo-input.wav
"$qxhost" process build/demo/plugin/Orv4417-QX.so out/demo-input.wav out/demo-output.wav \
  --param Input=0.5 --plot out/demo-plot.png
