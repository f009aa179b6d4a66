#!/usr/bin/env bash
# windows_checks.sh exports DLL   - the module exports exactly `main` at ordinal 1 and names
#                                   itself Orv4417-QX.dll
# windows_checks.sh info          - `qxhost info` of the x64 DLL under wine equals the Linux one
# windows_checks.sh process       - the x64 DLL under wine writes the same output bits as the .so
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
process)
  # The same input through both modules, written as float WAV: the bits must match.
  "$QXHOST" demo "$WORK/bits-in.wav" 3 >/dev/null
  bytes=$((3 * 44100 * 2 * 4))
  run() {
    "$QXHOST" process "$SO" "$WORK/bits-in.wav" "$WORK/bits-linux.wav" --float "$@" >/dev/null
    "$WINE64" "$QXHOST_WIN" process "$DLL_WIN" "$WORK/bits-in.wav" "$WORK/bits-wine.wav" --float \
      "$@" >/dev/null 2>&1
    # The two hosts write different WAV headers; the samples are the file's last bytes in both.
    cmp <(tail -c "$bytes" "$WORK/bits-linux.wav") <(tail -c "$bytes" "$WORK/bits-wine.wav") ||
      { echo "outputs differ for: $*"; exit 1; }
    echo "identical: $*"
  }
  run --param Input=0.5
  run --param Input=1 --param Limit=0 --param "Link Quality=0"
  run --param Input=0.3 --param "Low Punch=1" --param "Stereo Link=0" --block 333
  ;;
*)
  echo "unknown check $1"; exit 2 ;;
esac
