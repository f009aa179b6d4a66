#pragma once
// 2^-32 (single-precision bit pattern 0x2f800000, about 2.33e-10): the one small constant of the
// signal path. It keeps denormals out without touching processor modes: it is added inside the
// Low Punch recursion and to the gain computer's level change, it is the gain computer's level
// floor and the lower limit of its Soft speed terms, and conditioned input and output samples
// smaller than it are flushed to 0.

namespace qx {

constexpr double kFloor = 0x1p-32;
static_assert(kFloor == 2.3283064365386962890625e-10, "2^-32");

} // namespace qx
