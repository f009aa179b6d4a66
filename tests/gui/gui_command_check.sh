#!/usr/bin/env bash
# gui_command_check.sh QXHOST PLUGIN: `qxhost gui` shows the panel in a window of its own, a
# click on it reaches the plug-in and comes back printed as automation, and --seconds ends it
# cleanly, and destroying its window from outside ends it too. Needs an X server (with_xvfb.sh)
# and xdotool.
set -euo pipefail
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$1" gui "$2" --seconds 3 >"$out" 2>&1 &
pid=$!
# The window is named after the effect; without a window manager it stays at the top-left
# corner, so panel and screen coordinates agree. Low Punch's lever is at (55, 165).
xdotool search --sync --name Orv4417-QX >/dev/null
sleep 0.3
xdotool mousemove 72 174 click 1
status=0
wait "$pid" || status=$?
cat "$out"
[ "$status" -eq 0 ] || { echo "qxhost gui exited with $status"; exit 1; }
grep -qE '^automate +6 Low Punch +1\.000000 +On$' "$out" || { echo "no automation for the click"; exit 1; }

# Destroyed from outside (a script, a window manager's kill) rather than closed: the host ends as
# on a close, well before its 30 seconds. The window is found by its class.
"$1" gui "$2" --seconds 30 >"$out" 2>&1 &
pid=$!
window=$(xdotool search --sync --classname '^qxhost$')
sleep 0.3
xdotool windowclose "$window"
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  kill "$pid"
  echo "qxhost gui kept running after its window was destroyed"
  exit 1
fi
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { cat "$out"; echo "qxhost gui exited with $status after its window was destroyed"; exit 1; }
