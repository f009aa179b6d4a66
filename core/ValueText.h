#pragma once
// The fixed-width value texts every parameter display is built from: eight characters at most,
// digits truncated rather than rounded, and a marker text instead of a number that would not fit.
// Plain functions of the value alone, so any front end (a host's display request, a generated
// port description) shows the same characters.

#include <cstdint>

namespace qx {

// Shown when the digits would not fit in the field.
inline constexpr char kHugeText[] = " Huge!  ";
// Shown for a NaN value.
inline constexpr char kNotANumberText[] = "  NaN   ";

// Fixed-point text of 8 - reserve characters (reserve below 0 counts as 0) into `text`, which
// holds at least 9 characters.
void formatFixed(float value, char* text, int8_t reserve);
// Right-aligned integer in 7 places; kHugeText outside -9999999 .. 99999999.
void formatWhole(int32_t value, char* text);

} // namespace qx
