#!/usr/bin/env bash
# windows_checks.sh exports DLL   - the module exports exactly `main` at ordinal 1 and names
#                                   itself Orv4417-QX.dll
# windows_checks.sh info          - `qxhost info` of the x64 DLL under wine equals the Linux one
set -euo pipefail

case "$1" in
exports)
  dump=$(i686-w64-mingw32-objdump -p "$2")
  names=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^\s*\[\s*[0-9]+\]' || true)
  echo "$names"
  [ "$(printf '%s\n' "$names" | wc -l)" -eq 1 ] || { echo "expected exactly one export"; exit 1; }
  grep -qE '^\s*\[\s*0\] main$' <<< "$names" || { echo "the export is not main"; exit 1; }
  grep -qE 'Ordinal Base 1' <<< "$dump" || { echo "ordinal base is not 1"; exit 1; }
  grep -qE '^Name\s+[0-9a-f]+ Orv4417-QX.dll$' <<< "$dump" || { echo "wrong module name"; exit 1; }
  # Static runtime: nothing but system DLLs.
  imports=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  echo "imports: $imports"
  for dll in $imports; do
    case "$dll" in kernel32.dll|user32.dll|gdi32.dll|msvcrt.dll|advapi32.dll) ;;
      *) echo "unexpected import $dll"; exit 1 ;;
    esac
  done
  ;;
info)
  "$QXHOST" info "$SO" > "$WORK/info-linux.txt"
  "$WINE64" "$QXHOST_WIN" info "$DLL_WIN" 2>/dev/null | tr -d '\r' > "$WORK/info-wine.txt"
  diff -u "$WORK/info-linux.txt" "$WORK/info-wine.txt"
  ;;
*)
  echo "unknown check $1"; exit 2 ;;
esac
