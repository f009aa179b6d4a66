#!/usr/bin/env bash
# The Linux host with the .so and the Windows x64 host with the DLL under wine write the same
# integer WAV files, header and samples, byte for byte: plain, dithered, 16 and 24 bit.
set -euo pipefail
"$QXHOST" demo "$WORK/int-in.wav" 3 >/dev/null
for bits in 16 24; do
  sox -D "$WORK/int-in.wav" -b "$bits" "$WORK/int-in$bits.wav"
  for extra in "" "--dither tpdf"; do
    # shellcheck disable=SC2086
    "$QXHOST" process "$SO" "$WORK/int-in$bits.wav" "$WORK/int-linux.wav" --param Input=0.6 $extra >/dev/null
    # shellcheck disable=SC2086
    "$WINE64" "$QXHOST_WIN" process "$DLL_WIN" "$WORK/int-in$bits.wav" "$WORK/int-wine.wav" \
      --param Input=0.6 $extra >/dev/null 2>&1
    cmp "$WORK/int-linux.wav" "$WORK/int-wine.wav" || { echo "differ: $bits bit $extra"; exit 1; }
    echo "identical: $bits bit $extra"
  done
done
