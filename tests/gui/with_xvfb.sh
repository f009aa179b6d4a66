#!/usr/bin/env bash
# with_xvfb.sh COMMAND [ARGS...]: runs COMMAND against a private X server (Xvfb on a display it
# picks itself, 24-bit colour), then stops the server. Exits with COMMAND's status.
set -uo pipefail
tmp=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$tmp/display" 2>"$tmp/log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$tmp"' EXIT
# Xvfb writes the display number once it accepts connections.
for _ in $(seq 100); do
  [ -s "$tmp/display" ] && break
  if ! kill -0 "$xvfb" 2>/dev/null; then
    echo "with_xvfb: Xvfb did not start:" >&2
    cat "$tmp/log" >&2
    exit 1
  fi
  sleep 0.1
done
[ -s "$tmp/display" ] || { echo "with_xvfb: Xvfb gave no display" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$tmp/display")"
"$@"
