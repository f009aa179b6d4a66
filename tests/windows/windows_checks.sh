#!/usr/bin/env bash
# windows_checks.sh exports DLL         - the module exports exactly `main` at ordinal 1 and names
#                                         itself Orv4417-QX.dll
# windows_checks.sh clap-exports CLAP   - the CLAP module exports exactly `clap_entry` and names
#                                         itself Orv4417-QX.clap
# windows_checks.sh prefix WINE PREFIX  - makes PREFIX a wine prefix for WINE's width, once
# windows_checks.sh record CHECK.exe    - the record as a 32-bit host sees it (RecordLayoutCheck)
# windows_checks.sh info                - `qxhost info` of the DLL under wine equals the Linux one
# windows_checks.sh process             - the DLL under wine writes the same output bits as the .so
# The last three take WINE, WINEPREFIX, QXHOST_WIN, DLL_WIN, QXHOST, SO and WORK from the
# environment, and end the prefix's wine session on exit, so that the next test (perhaps one
# that needs a display) starts a session of its own. DLL_WIN and SO may name VST 2 or CLAP
# modules; info leaves out the lines matching INFO_PLATFORM_LINES (facts that differ by system
# by design, such as a CLAP module's window system).
set -euo pipefail

end_session() { "$(dirname "$1")/wineserver" -k 2>/dev/null || true; }

# Static runtime: nothing but system DLLs.
only_system_imports() {
  local imports
  imports=$(printf '%s\n' "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  echo "imports: $imports"
  for dll in $imports; do
    case "$dll" in kernel32.dll|user32.dll|gdi32.dll|msvcrt.dll|advapi32.dll) ;;
      *) echo "unexpected import $dll"; exit 1 ;;
    esac
  done
}

# The export table's names, one a line.
export_names() {
  printf '%s\n' "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^\s*\[\s*[0-9]+\]' || true
}

case "$1" in
exports)
  dump=$(i686-w64-mingw32-objdump -p "$2")
  names=$(export_names "$dump")
  echo "$names"
  [ "$(printf '%s\n' "$names" | wc -l)" -eq 1 ] || { echo "expected exactly one export"; exit 1; }
  grep -qE '^\s*\[\s*0\] main$' <<< "$names" || { echo "the export is not main"; exit 1; }
  grep -qE 'Ordinal Base 1' <<< "$dump" || { echo "ordinal base is not 1"; exit 1; }
  grep -qE '^Name\s+[0-9a-f]+ Orv4417-QX.dll$' <<< "$dump" || { echo "wrong module name"; exit 1; }
  only_system_imports "$dump"
  ;;
clap-exports)
  # x86_64 binutils read both widths.
  dump=$(x86_64-w64-mingw32-objdump -p "$2")
  names=$(export_names "$dump")
  echo "$names"
  [ "$(printf '%s\n' "$names" | wc -l)" -eq 1 ] || { echo "expected exactly one export"; exit 1; }
  grep -qE '^\s*\[\s*0\] clap_entry$' <<< "$names" || { echo "the export is not clap_entry"; exit 1; }
  grep -qE '^Name\s+[0-9a-f]+ Orv4417-QX.clap$' <<< "$dump" || { echo "wrong module name"; exit 1; }
  only_system_imports "$dump"
  ;;
prefix)
  wine=$2 prefix=$3
  case "$(basename "$wine")" in wine64) arch=win64 ;; *) arch=win32 ;; esac
  # A prefix of the other width (or a half-made one) would fail every test obscurely.
  if [ -f "$prefix/system.reg" ] && ! grep -q "^#arch=$arch" "$prefix/system.reg"; then
    rm -rf "$prefix"
  fi
  if [ ! -f "$prefix/system.reg" ]; then
    start=$SECONDS
    WINEARCH=$arch WINEPREFIX=$prefix WINEDEBUG=-all "$wine" wineboot -i >/dev/null 2>&1
    WINEPREFIX=$prefix "$(dirname "$wine")/wineserver" -w
    echo "made $arch prefix $prefix in $((SECONDS - start)) s"
  fi
  WINEPREFIX=$prefix end_session "$wine"
  grep -q "^#arch=$arch" "$prefix/system.reg"
  ;;
record)
  trap 'end_session "$WINE"' EXIT
  "$WINE" "$2" "$DLL_WIN" | tr -d '\r'
  ;;
info)
  trap 'end_session "$WINE"' EXIT
  mkdir -p "$WORK"
  ignore=${INFO_PLATFORM_LINES:-^$}
  "$QXHOST" info "$SO" | grep -vE "$ignore" > "$WORK/info-linux.txt"
  # The Windows runtime writes text with CR LF line ends; the text itself must be the same.
  "$WINE" "$QXHOST_WIN" info "$DLL_WIN" 2>"$WORK/wine.log" | tr -d '\r' | grep -vE "$ignore" \
    > "$WORK/info-wine.txt" || { cat "$WORK/wine.log"; exit 1; }
  diff -u "$WORK/info-linux.txt" "$WORK/info-wine.txt"
  ;;
process)
  trap 'end_session "$WINE"' EXIT
  mkdir -p "$WORK"
  # The same input through both modules, written as float WAV: the bits must match. Other rates
  # and the mono file are made from the demo material; both modules read the same file.
  "$QXHOST" demo "$WORK/in44.wav" 3 >/dev/null
  sox -V1 "$WORK/in44.wav" -r 48000 "$WORK/in48.wav"
  sox -V1 "$WORK/in44.wav" "$WORK/in96.wav" gain -1 rate 96000
  sox -V1 "$WORK/in44.wav" "$WORK/mono.wav" remix 1
  run() {
    local in=$WORK/$1.wav
    shift
    "$QXHOST" process "$SO" "$in" "$WORK/out-linux.wav" --float "$@" >/dev/null
    "$WINE" "$QXHOST_WIN" process "$DLL_WIN" "$in" "$WORK/out-wine.wav" --float "$@" \
      >/dev/null 2>"$WORK/wine.log" || { cat "$WORK/wine.log"; exit 1; }
    # The two hosts write different WAV headers; the samples are the file's last bytes in both.
    local bytes=$(($(soxi -s "$in") * $(soxi -c "$in") * 4))
    cmp <(tail -c "$bytes" "$WORK/out-linux.wav") <(tail -c "$bytes" "$WORK/out-wine.wav") ||
      { echo "outputs differ for $in: $*"; exit 1; }
    echo "identical: $(basename "$in") $*"
  }
  run in44 --param Input=0.5
  run in44 --param Input=0.5 --param Limit=0 --param Pressure=1 --param "Low Punch=1"
  run in44 --param Input=1 --param "Link Quality=0"
  run in44 --param Input=0.5 --param "Auto Channel=0" --param "Force Channel=0.5"
  run in44 --param Input=0.3 --param "Low Punch=1" --param "Stereo Link=0" --block 333
  run in44 --param Input=0.5 --accumulate --block 333
  run in48 --param Input=0.5
  run in96 --param Input=0.5 --param Limit=0
  run mono --param Input=0.5
  ;;
*)
  echo "unknown check $1"; exit 2 ;;
esac
