#pragma once
// Two doubles side by side: the left and right channel (or a channel and a stand-in) run through
// the same arithmetic in one register, so their dependent division chains overlap and each
// division is executed once for both.
//
// Every operation here is a single correctly rounded IEEE operation per lane, so a lane computes
// exactly what plain scalar double code computes. The limiting helpers keep the NaN behaviour of
// the scalar "if (v > c) v = c" form: the compared value passes through unchanged when it is NaN.
//
// Internal to dsp/.

#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define QX_SIMD_SSE2 1
#include <emmintrin.h>
#else
#define QX_SIMD_SSE2 0
#include <cmath>
#include <cstring>
#endif

namespace qx::simd {
// Internal linkage: translation units built for different instruction sets must not share
// out-of-line copies of these helpers.
namespace {

#if QX_SIMD_SSE2

struct V2 {
    __m128d v;
};
struct M2 {
    __m128d m;
};

inline V2 splat(double a) { return {_mm_set1_pd(a)}; }
inline V2 make(double lane0, double lane1) { return {_mm_set_pd(lane1, lane0)}; }
inline double lane0(V2 a) { return _mm_cvtsd_f64(a.v); }
inline double lane1(V2 a) { return _mm_cvtsd_f64(_mm_unpackhi_pd(a.v, a.v)); }
// Lane 0 in both lanes.
inline V2 dupLane0(V2 a) { return {_mm_unpacklo_pd(a.v, a.v)}; }
inline V2 swapLanes(V2 a) { return {_mm_shuffle_pd(a.v, a.v, 1)}; }

inline V2 operator+(V2 a, V2 b) { return {_mm_add_pd(a.v, b.v)}; }
inline V2 operator-(V2 a, V2 b) { return {_mm_sub_pd(a.v, b.v)}; }
inline V2 operator*(V2 a, V2 b) { return {_mm_mul_pd(a.v, b.v)}; }
inline V2 operator/(V2 a, V2 b) { return {_mm_div_pd(a.v, b.v)}; }
inline V2 sqrt(V2 a) { return {_mm_sqrt_pd(a.v)}; }
inline V2 negate(V2 a) { return {_mm_xor_pd(a.v, _mm_set1_pd(-0.0))}; }
inline V2 abs(V2 a) { return {_mm_andnot_pd(_mm_set1_pd(-0.0), a.v)}; }

inline M2 operator<(V2 a, V2 b) { return {_mm_cmplt_pd(a.v, b.v)}; }
inline M2 operator>(V2 a, V2 b) { return {_mm_cmpgt_pd(a.v, b.v)}; }
inline M2 operator<=(V2 a, V2 b) { return {_mm_cmple_pd(a.v, b.v)}; }
inline M2 operator>=(V2 a, V2 b) { return {_mm_cmpge_pd(a.v, b.v)}; }
inline M2 operator==(V2 a, V2 b) { return {_mm_cmpeq_pd(a.v, b.v)}; }
inline M2 operator&(M2 a, M2 b) { return {_mm_and_pd(a.m, b.m)}; }
inline M2 operator|(M2 a, M2 b) { return {_mm_or_pd(a.m, b.m)}; }
// Bit 0 for lane 0, bit 1 for lane 1.
inline int bits(M2 a) { return _mm_movemask_pd(a.m); }
inline M2 maskFromBits(int b) { // without branches: b is often data
    const __m128i lanes = _mm_set_epi64x(2, 1);
    const __m128i bit = _mm_and_si128(_mm_set1_epi32(b), lanes);
    return {_mm_castsi128_pd(_mm_cmpeq_epi32(_mm_shuffle_epi32(bit, 0xA0), _mm_shuffle_epi32(lanes, 0xA0)))};
}

// m ? a : b, lane by lane.
inline V2 select(M2 m, V2 a, V2 b) {
    return {_mm_or_pd(_mm_and_pd(m.m, a.v), _mm_andnot_pd(m.m, b.v))};
}
// m ? 0 : a (a positive zero).
inline V2 zeroWhere(M2 m, V2 a) { return {_mm_andnot_pd(m.m, a.v)}; }
// m ? a : 0.
inline V2 keepWhere(M2 m, V2 a) { return {_mm_and_pd(m.m, a.v)}; }

// "if (v > cap) v = cap"
inline V2 limitAbove(V2 v, V2 cap) { return {_mm_min_pd(cap.v, v.v)}; }
// "if (v < floor) v = floor"
inline V2 limitBelow(V2 v, V2 floor) { return {_mm_max_pd(floor.v, v.v)}; }
// Smaller of two non-NaN values.
inline V2 min(V2 a, V2 b) { return {_mm_min_pd(a.v, b.v)}; }
inline V2 max(V2 a, V2 b) { return {_mm_max_pd(a.v, b.v)}; }

// The value a 32-bit float field would hold after storing a.
inline V2 roundToFloat(V2 a) { return {_mm_cvtps_pd(_mm_cvtpd_ps(a.v))}; }
// Where a would round to a finite float: its magnitude is below 2^128 - 2^103.
inline M2 fitsFloat(V2 a) { return abs(a) < splat(0x1.fffffep127 + 0x1p103); }

// Two floats from two addresses, widened.
inline V2 loadFloats(const float* p0, const float* p1) {
    return {_mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(p0), _mm_load_ss(p1)))};
}
// Two consecutive floats, widened. The 64-bit integer moves have no alignment requirement.
inline V2 loadPair(const float* p) {
    return {_mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))))};
}
inline void storePair(float* p, V2 a) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_castps_si128(_mm_cvtpd_ps(a.v)));
}
inline void storeLane0(float* p, V2 a) { _mm_store_ss(p, _mm_cvtpd_ps(a.v)); }
inline void storeLanes(float* p0, float* p1, V2 a) {
    const __m128 f = _mm_cvtpd_ps(a.v);
    _mm_store_ss(p0, f);
    _mm_store_ss(p1, _mm_shuffle_ps(f, f, 1));
}


// Two floats in the low lanes of a register. A product of two floats is exact in double, so a
// float multiply gives the same bits as widening, multiplying and rounding back.
struct F2 {
    __m128 v;
};
struct MF2 {
    __m128 m;
};
inline F2 toFloats(V2 a) { return {_mm_cvtpd_ps(a.v)}; }
inline V2 toDoubles(F2 a) { return {_mm_cvtps_pd(a.v)}; }
inline F2 splatf(float a) { return {_mm_set1_ps(a)}; }
inline float lane0f(F2 a) { return _mm_cvtss_f32(a.v); }
inline float lane1f(F2 a) { return _mm_cvtss_f32(_mm_shuffle_ps(a.v, a.v, 1)); }
inline F2 operator*(F2 a, F2 b) { return {_mm_mul_ps(a.v, b.v)}; }
inline F2 operator+(F2 a, F2 b) { return {_mm_add_ps(a.v, b.v)}; }
inline F2 operator-(F2 a, F2 b) { return {_mm_sub_ps(a.v, b.v)}; }
inline MF2 operator>(F2 a, F2 b) { return {_mm_cmpgt_ps(a.v, b.v)}; }
inline MF2 operator>=(F2 a, F2 b) { return {_mm_cmpge_ps(a.v, b.v)}; }
inline MF2 operator==(F2 a, F2 b) { return {_mm_cmpeq_ps(a.v, b.v)}; }
inline MF2 operator&(MF2 a, MF2 b) { return {_mm_and_ps(a.m, b.m)}; }
inline MF2 operator|(MF2 a, MF2 b) { return {_mm_or_ps(a.m, b.m)}; }
inline MF2 narrow(M2 m) { // lane masks of a double comparison as float lane masks
    return {_mm_castsi128_ps(_mm_shuffle_epi32(_mm_castpd_si128(m.m), 0x08))};
}
inline M2 widen(MF2 m) { // float lane masks as double lane masks
    return {_mm_castps_pd(_mm_unpacklo_ps(m.m, m.m))};
}
inline F2 select(MF2 m, F2 a, F2 b) { return {_mm_or_ps(_mm_and_ps(m.m, a.v), _mm_andnot_ps(m.m, b.v))}; }
inline F2 zeroWhere(MF2 m, F2 a) { return {_mm_andnot_ps(m.m, a.v)}; }

#else // portable fallback with the same lane semantics

struct V2 {
    double a[2];
};
struct M2 {
    bool m[2];
};

inline V2 splat(double a) { return {{a, a}}; }
inline V2 make(double l0, double l1) { return {{l0, l1}}; }
inline double lane0(V2 a) { return a.a[0]; }
inline double lane1(V2 a) { return a.a[1]; }
inline V2 dupLane0(V2 a) { return {{a.a[0], a.a[0]}}; }
inline V2 swapLanes(V2 a) { return {{a.a[1], a.a[0]}}; }

#define QX_V2_BINOP(op)                                                                          \
    inline V2 operator op(V2 x, V2 y) { return {{x.a[0] op y.a[0], x.a[1] op y.a[1]}}; }
QX_V2_BINOP(+)
QX_V2_BINOP(-)
QX_V2_BINOP(*)
QX_V2_BINOP(/)
#undef QX_V2_BINOP
#define QX_V2_CMP(op)                                                                            \
    inline M2 operator op(V2 x, V2 y) { return {{x.a[0] op y.a[0], x.a[1] op y.a[1]}}; }
QX_V2_CMP(<)
QX_V2_CMP(>)
QX_V2_CMP(<=)
QX_V2_CMP(>=)
QX_V2_CMP(==)
#undef QX_V2_CMP

inline V2 sqrt(V2 x) { return {{std::sqrt(x.a[0]), std::sqrt(x.a[1])}}; }
inline V2 negate(V2 x) { return {{-x.a[0], -x.a[1]}}; }
inline V2 abs(V2 x) { return {{std::fabs(x.a[0]), std::fabs(x.a[1])}}; }
inline M2 operator&(M2 x, M2 y) { return {{x.m[0] && y.m[0], x.m[1] && y.m[1]}}; }
inline M2 operator|(M2 x, M2 y) { return {{x.m[0] || y.m[0], x.m[1] || y.m[1]}}; }
inline int bits(M2 x) { return (x.m[0] ? 1 : 0) | (x.m[1] ? 2 : 0); }
inline M2 maskFromBits(int b) { return {{(b & 1) != 0, (b & 2) != 0}}; }
inline V2 select(M2 m, V2 x, V2 y) {
    return {{m.m[0] ? x.a[0] : y.a[0], m.m[1] ? x.a[1] : y.a[1]}};
}
inline V2 zeroWhere(M2 m, V2 x) { return {{m.m[0] ? 0.0 : x.a[0], m.m[1] ? 0.0 : x.a[1]}}; }
inline V2 keepWhere(M2 m, V2 x) { return {{m.m[0] ? x.a[0] : 0.0, m.m[1] ? x.a[1] : 0.0}}; }
inline double minpd(double c, double v) { return c < v ? c : v; }
inline double maxpd(double c, double v) { return c > v ? c : v; }
inline V2 limitAbove(V2 v, V2 c) { return {{minpd(c.a[0], v.a[0]), minpd(c.a[1], v.a[1])}}; }
inline V2 limitBelow(V2 v, V2 f) { return {{maxpd(f.a[0], v.a[0]), maxpd(f.a[1], v.a[1])}}; }
inline V2 min(V2 x, V2 y) { return {{minpd(x.a[0], y.a[0]), minpd(x.a[1], y.a[1])}}; }
inline V2 max(V2 x, V2 y) { return {{maxpd(x.a[0], y.a[0]), maxpd(x.a[1], y.a[1])}}; }
inline V2 roundToFloat(V2 x) {
    return {{static_cast<double>(static_cast<float>(x.a[0])),
             static_cast<double>(static_cast<float>(x.a[1]))}};
}
inline M2 fitsFloat(V2 x) { return abs(x) < splat(0x1.fffffep127 + 0x1p103); }
inline V2 loadFloats(const float* p0, const float* p1) { return {{*p0, *p1}}; }
inline V2 loadPair(const float* p) { return {{p[0], p[1]}}; }
inline void storePair(float* p, V2 x) {
    p[0] = static_cast<float>(x.a[0]);
    p[1] = static_cast<float>(x.a[1]);
}
inline void storeLane0(float* p, V2 x) { *p = static_cast<float>(x.a[0]); }
inline void storeLanes(float* p0, float* p1, V2 x) {
    *p0 = static_cast<float>(x.a[0]);
    *p1 = static_cast<float>(x.a[1]);
}

struct F2 {
    float a[2];
};
struct MF2 {
    bool m[2];
};
inline F2 toFloats(V2 x) { return {{static_cast<float>(x.a[0]), static_cast<float>(x.a[1])}}; }
inline V2 toDoubles(F2 x) { return {{x.a[0], x.a[1]}}; }
inline F2 splatf(float a) { return {{a, a}}; }
inline float lane0f(F2 x) { return x.a[0]; }
inline float lane1f(F2 x) { return x.a[1]; }
inline F2 operator*(F2 x, F2 y) { return {{x.a[0] * y.a[0], x.a[1] * y.a[1]}}; }
inline F2 operator+(F2 x, F2 y) { return {{x.a[0] + y.a[0], x.a[1] + y.a[1]}}; }
inline F2 operator-(F2 x, F2 y) { return {{x.a[0] - y.a[0], x.a[1] - y.a[1]}}; }
inline MF2 operator>(F2 x, F2 y) { return {{x.a[0] > y.a[0], x.a[1] > y.a[1]}}; }
inline MF2 operator>=(F2 x, F2 y) { return {{x.a[0] >= y.a[0], x.a[1] >= y.a[1]}}; }
inline MF2 operator==(F2 x, F2 y) { return {{x.a[0] == y.a[0], x.a[1] == y.a[1]}}; }
inline MF2 operator&(MF2 x, MF2 y) { return {{x.m[0] && y.m[0], x.m[1] && y.m[1]}}; }
inline MF2 operator|(MF2 x, MF2 y) { return {{x.m[0] || y.m[0], x.m[1] || y.m[1]}}; }
inline MF2 narrow(M2 x) { return {{x.m[0], x.m[1]}}; }
inline M2 widen(MF2 x) { return {{x.m[0], x.m[1]}}; }
inline F2 select(MF2 m, F2 x, F2 y) { return {{m.m[0] ? x.a[0] : y.a[0], m.m[1] ? x.a[1] : y.a[1]}}; }
inline F2 zeroWhere(MF2 m, F2 x) { return {{m.m[0] ? 0.0f : x.a[0], m.m[1] ? 0.0f : x.a[1]}}; }

#endif

} // namespace
} // namespace qx::simd
