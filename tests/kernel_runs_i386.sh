#!/usr/bin/env bash
# kernel_runs_i386.sh FILE: does this machine's kernel run 32-bit x86 programs? Writes a static
# i386 program to FILE (93 bytes: the ELF header, one loadable segment, then exit(0) through
# int 0x80) and runs it. Exits 1 with a one-line reason only where the kernel refuses the format
# ("Exec format error"); any other outcome counts as "runs", so the x86 checks run and say what
# is really wrong.
set -u
file=$1
elf=(
  '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0'                  # 32-bit, little-endian, System V
  '\2\0\3\0\1\0\0\0\124\200\4\10'                    # executable, i386, entry 0x8048054
  '\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0'  # one program header, at byte 52
  '\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10'           # PT_LOAD: the file at 0x8048000,
  '\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0'            #   93 bytes, read and execute
  '\270\1\0\0\0\061\333\315\200'                     # eax=1 (exit), ebx=0, int 0x80
)
printf "$(printf %s "${elf[@]}")" >"$file"
chmod +x "$file"
error=$("$file" 2>&1 >/dev/null) && exit 0
if [[ $error == *"Exec format error"* ]]; then
  echo "this machine's kernel runs no 32-bit x86 programs (Exec format error), so nothing runs under 32-bit wine here"
  exit 1
fi
exit 0
