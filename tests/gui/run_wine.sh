#!/usr/bin/env bash
# run_wine.sh WINE PROGRAM.exe [ARGS...]: runs a Windows program under wine, then ends the
# prefix's wine server, so no wine process outlives the X server it was started on.
set -u
wine=$1
shift
"$wine" "$@"
status=$?
"$(dirname "$wine")/wineserver" -k 2>/dev/null || wineserver -k 2>/dev/null
exit $status
