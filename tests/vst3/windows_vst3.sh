#!/usr/bin/env bash
# windows_vst3.sh BINARY: the Windows VST 3 binary exports exactly GetPluginFactory, InitDll and
# ExitDll, and imports nothing but system DLLs (the C++ runtime is linked in).
set -euo pipefail
dump=$(x86_64-w64-mingw32-objdump -p "$1")
names=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
imports=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
echo "exports: $names"
echo "imports: $imports"
[ "$names" = "ExitDll GetPluginFactory InitDll " ]
for dll in $imports; do
  case "$dll" in kernel32.dll|user32.dll|gdi32.dll|msvcrt.dll|advapi32.dll) ;;
    *) echo "unexpected import $dll"; exit 1 ;;
  esac
done
