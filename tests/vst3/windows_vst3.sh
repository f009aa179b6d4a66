#!/usr/bin/env bash
# windows_vst3.sh exports BINARY       - the Windows module exports exactly the three VST 3 names
# windows_vst3.sh bits WINE RENDER.exe BINARY LINUX_RENDER LINUX_BINARY WORK
#                                      - the Windows binary's render equals the Linux module's
set -euo pipefail
case $1 in
exports)
  names=$(x86_64-w64-mingw32-objdump -p "$2" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
          sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
  echo "exports: $names"
  [ "$names" = "ExitDll GetPluginFactory InitDll " ]
  ;;
bits)
  wine=$2 exe=$3 binary=$4 linux=$5 linuxBinary=$6 work=$7
  mkdir -p "$work"
  "$linux" "$linuxBinary" "$work/linux.raw"
  status=0
  "$wine" "$exe" "$binary" "$work/windows.raw" || status=$?
  "$(dirname "$wine")/wineserver" -k 2>/dev/null || true
  [ $status -eq 0 ] || exit $status
  cmp "$work/linux.raw" "$work/windows.raw"
  echo "same bits: $(stat -c %s "$work/linux.raw") bytes"
  ;;
*)
  echo "windows_vst3.sh: unknown check $1" >&2
  exit 2
  ;;
esac
