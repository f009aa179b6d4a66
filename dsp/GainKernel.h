#pragma once
// The per-sample loop behind LimiterChannel::computeGains and the engine's block routine: input
// conditioning (Low Punch and input gain) fused with one or two gain computers.
//
// Two gain computers run in the two lanes of one register. The control law is a long chain of
// dependent divisions, a square root and multiplications; interleaving two independent chains is
// what keeps the processor busy. Where only one channel is processed, lane 1 runs a copy of
// lane 0 and is thrown away.
//
// Exactness: every lane operation is the same IEEE double operation as the plain formula, each
// stored field is rounded to float where the formula stores it, and conditions decide through
// selects with the plain "if" semantics. The results are bit for bit those of a straightforward
// scalar transcription; the tests hold the two side by side.
//
// Internal to dsp/.

#include "dsp/LimiterChannel.h"
#include "dsp/Simd.h"

#include <cfloat>
#include <cstdint>

namespace qx::kernel {

using simd::M2;
using simd::V2;

// 2^-32 (bit pattern 0x2f800000): denormal guard and level floor.
constexpr double kFloor = 2.3283064365386962890625e-10;

enum class Mode {
    Detector, // detector samples are given, one gain computer
    Single,   // one input channel conditioned, one gain computer
    Dual,     // two channels conditioned, two independent gain computers
    DualHQ,   // as Dual, and both channels take the smaller gain sample by sample
    Normal,   // two channels conditioned, one gain computer on the louder sample
};

// The state fields of two gain computers, lane 0 and lane 1.
struct Lanes {
    V2 lastLevel, softSpeed, gain, lastGain, phase, shapedGain, releaseRef, envelope;

    static Lanes load(const LimiterChannel& a, const LimiterChannel& b) {
        using simd::make;
        return {make(a.lastLevel, b.lastLevel),   make(a.softSpeed, b.softSpeed),
                make(a.gain, b.gain),             make(a.lastGain, b.lastGain),
                make(a.phase, b.phase),           make(a.shapedGain, b.shapedGain),
                make(a.releaseRef, b.releaseRef), make(a.envelope, b.envelope)};
    }
    void storeLane0(LimiterChannel& c) const {
        using simd::lane0;
        c.lastLevel = static_cast<float>(lane0(lastLevel));
        c.softSpeed = static_cast<float>(lane0(softSpeed));
        c.gain = static_cast<float>(lane0(gain));
        c.lastGain = static_cast<float>(lane0(lastGain));
        c.phase = static_cast<float>(lane0(phase));
        c.shapedGain = static_cast<float>(lane0(shapedGain));
        c.releaseRef = static_cast<float>(lane0(releaseRef));
        c.envelope = static_cast<float>(lane0(envelope));
    }
    void storeLane1(LimiterChannel& c) const {
        using simd::lane1;
        c.lastLevel = static_cast<float>(lane1(lastLevel));
        c.softSpeed = static_cast<float>(lane1(softSpeed));
        c.gain = static_cast<float>(lane1(gain));
        c.lastGain = static_cast<float>(lane1(lastGain));
        c.phase = static_cast<float>(lane1(phase));
        c.shapedGain = static_cast<float>(lane1(shapedGain));
        c.releaseRef = static_cast<float>(lane1(releaseRef));
        c.envelope = static_cast<float>(lane1(envelope));
    }
};

// Input conditioning for the modes that read host samples. Lane 0 reads in0, lane 1 reads in1
// (the same pointer as in0 in Single mode, where lane 1 is a stand-in).
struct InputLanes {
    const float* in0 = nullptr;
    const float* in1 = nullptr;
    float* audio0 = nullptr;
    float* audio1 = nullptr; // unused in Single mode
    V2 punchIn{};            // previous input sample
    V2 punchOut{};           // previous filter output
    float punchCoef = 0.0f;
    float inputGain = 1.0f;
    bool lowPunch = false;
};

struct GainParams {
    float releaseRate;
    float pressureMix;
    float releaseBrake;
    float rateRatio;
};

// Whether the idle shortcut can be trusted with these coefficients: with a positive release rate,
// a non-negative brake and a Pressure mix inside 0..1 an envelope at 1.0 comes out at 1.0 again
// while the level stays at or below full scale. Out-of-range parameter values simply take the
// full path.
inline bool idleShortcutHolds(const GainParams& p) {
    return p.releaseRate > 0.0f && p.releaseRate <= FLT_MAX && p.releaseBrake >= 0.0f &&
           p.releaseBrake <= FLT_MAX && p.pressureMix >= 0.0f && p.pressureMix <= 1.0f;
}

// Control steps fall on every sample: 44.1 kHz with the accumulator at rest.
inline bool everySampleSteps(const GainParams& p, const Lanes& s) {
    return p.rateRatio == 1.0f && simd::bits(s.phase == simd::splat(0.0)) == 3;
}

// Runs n samples. `detector` is read in Detector mode only; `in` is used in every other mode.
// Gains go to gain0 (and gain1 in the dual modes). The caller stores the lanes back.
template <Mode M, bool kSoft, bool kAllSteps>
inline void run(Lanes& st, InputLanes& in, const GainParams& p, const float* detector,
                float* gain0, float* gain1, int32_t n) {
    using namespace simd;
    constexpr bool kTwoComputers = (M == Mode::Dual || M == Mode::DualHQ);

    const V2 zero = splat(0.0), one = splat(1.0), floor = splat(kFloor);
    const V2 fltMax = splat(FLT_MAX);
    const V2 c09 = splat(0.9f), c01 = splat(0.1f), c11 = splat(1.1f);
    const V2 c07 = splat(0.7f), c03 = splat(0.3f), c099 = splat(0.99f), c002 = splat(0.02f);
    const V2 c400 = splat(400.0), c500 = splat(500.0), c1000 = splat(1000.0), c140 = splat(140.0);
    const V2 rate = splat(p.releaseRate), brake = splat(p.releaseBrake);
    const V2 pm = splat(p.pressureMix), ratio = splat(p.rateRatio);
    // G's tail factor on the idle path, where F sits at its floor: F * (1 - F).
    const V2 idleF1F = floor * (one - floor);

    const V2 pc = splat(in.punchCoef), ig = splat(in.inputGain);
    const M2 lowPunch = maskFromBits(in.lowPunch ? 3 : 0);
    V2 pIn = in.punchIn, pOut = in.punchOut;

    V2 ll = st.lastLevel, ss = st.softSpeed, q = st.gain, lg = st.lastGain, ph = st.phase;
    V2 sg = st.shapedGain, rr = st.releaseRef, e = st.envelope;

    const bool shortcutOk = idleShortcutHolds(p);
    auto atRest = [&]() {
        M2 c = (e == one) & (sg == one) & (q == one) & (rr >= zero) & (rr <= one);
        if constexpr (kSoft) c = c & (lg == one);
        return shortcutOk && bits(c) == 3;
    };
    bool rest = atRest();

    for (int32_t i = 0; i < n; ++i) {
        // ---- detector level of this sample
        V2 level;
        if constexpr (M == Mode::Detector) {
            level = abs(splat(detector[i]));
        } else {
            V2 xin = loadFloats(in.in0 + i, in.in1 + i);
            // A NaN or infinity from the host would stay in the allpass state for good.
            xin = keepWhere(abs(xin) <= fltMax, xin);
            const V2 y = ((pc * xin + pIn) - pc * pOut) + floor;
            pOut = roundToFloat(y);
            pIn = xin;
            V2 s = select(lowPunch, negate(y), xin);
            s = zeroWhere(abs(s) < floor, s);
            V2 a = roundToFloat(s * ig);
            a = keepWhere(abs(a) <= fltMax, a);
            if constexpr (M == Mode::Single) {
                storeLane0(in.audio0 + i, a);
            } else {
                storeLanes(in.audio0 + i, in.audio1 + i, a);
            }
            level = abs(a);
            if constexpr (M == Mode::Normal) {
                // The right sample counts only when strictly louder.
                level = dupLane0(max(swapLanes(level), level));
            }
        }

        // ---- control rate
        M2 step{};
        bool anyStep = true;
        if constexpr (!kAllSteps) {
            const V2 sum = roundToFloat(ph + ratio);
            step = sum >= one;
            ph = select(step, roundToFloat(sum - one), sum);
            anyStep = bits(step) != 0;
        }

        if (anyStep) {
            bool fullStep = false;
            const V2 x = limitBelow(level, floor);
            V2 nll = x, nss = ss, nq = q, nlg = lg, nsg = sg, nrr = rr, ne = e;

            if (rest && bits(x <= one) == 3) {
                // Idle: envelope, shaped gain and gain are 1.0 and stay there; what moves is the
                // level memory, the release reference (to 1.0) and, in Soft mode, the speed
                // memory, whose candidate G reduces to F + x*x*F*(1-F)*(1+v) with F at its floor.
                nrr = one;
                if constexpr (kSoft) {
                    const V2 d = x - ll;
                    const M2 fell = d < zero;
                    const V2 v = d + floor;
                    V2 G = floor + ((x * x) * idleF1F) * (one + v);
                    G = zeroWhere(fell, G);
                    const V2 ss0 = zeroWhere(fell, ss);
                    const V2 decayed = select(ss0 > floor, roundToFloat(c099 * ss0), ss0);
                    nss = select(G > ss0, roundToFloat(G), decayed);
                }
            } else {
                fullStep = true;
                const V2 d = x - ll;
                const M2 fell = d < zero;
                const V2 m = select(fell, negate(d) * (one + e), d);
                const V2 v = m + floor;
                const V2 u = (x * e) * (c09 + c01 * rr);
                const M2 attack = (u > one) & (x > one);
                const M2 release = u < one;

                // The branch conditions depend on the level and the envelope only, so they are
                // known long before the gain of the previous step; mispredictions cost little.
                V2 eNew = e;
                if (bits(attack) != 0) {
                    const V2 k = one - one / u;
                    const V2 k2 = k * k;
                    const V2 w = limitAbove(k2 / (one - one / x), one);
                    const V2 eA = e / (one + ((c400 * w) * k2) * v / (one + (c500 * (one - w)) * v));
                    eNew = select(attack, eA, eNew);
                }
                if (bits(release) != 0) {
                    const V2 dd = limitBelow(sg - rr, zero);
                    const V2 B = c11 - one / (one + c1000 * v);
                    V2 R = e / (x * q);
                    R = select(R > one, one / R, R);
                    const V2 C = one / (one + dd * brake);
                    const V2 om = one - u;
                    V2 t = rate * C;
                    t = t * B;
                    t = t * ((om * om) * om);
                    t = t * e;
                    t = t * (one - R);
                    t = t / q;
                    const V2 eR = limitAbove(e * (one + t), one);
                    eNew = select(release, eR, eNew);
                    nrr = select(release, sg, rr);
                }
                ne = roundToFloat(eNew);

                const V2 g = limitAbove(pm * sqrt(ne) + (one - pm) * ne, one);
                nsg = roundToFloat(g);

                if constexpr (!kSoft) {
                    nq = nsg;
                } else {
                    const V2 H = limitAbove(g * x, one) * limitAbove(x * q, one);
                    const V2 r = g / q;
                    V2 D = r * (c07 + c03 * r);
                    D = select(D > one, one / D, D);
                    const V2 E = one - D;
                    const V2 E2 = E * E;
                    const V2 E4 = E2 * E2;
                    const V2 gv = g * v;
                    V2 F = E4 * (one + (c140 * E) * (gv * gv));
                    F = limitBelow(F, floor);
                    F = limitAbove(F, one);
                    V2 G = F + ((H * F) * (one - F)) * (one + gv);
                    G = limitAbove(G, one);
                    G = zeroWhere(fell, G);
                    const V2 ss0 = zeroWhere(fell, ss);
                    const V2 decayed = select(ss0 > floor, roundToFloat(c099 * ss0), ss0);
                    nss = select(G > ss0, roundToFloat(G), decayed);
                    const V2 S = nss + c002 * (one - nss);
                    V2 qn = q + S * (g - lg);
                    qn = limitBelow(qn, g);
                    qn = limitAbove(qn, one);
                    nq = roundToFloat(qn);
                    nlg = nq;
                }
            }

            if constexpr (kAllSteps) {
                ll = nll, ss = nss, q = nq, lg = nlg, sg = nsg, rr = nrr, e = ne;
            } else {
                ll = select(step, nll, ll);
                ss = select(step, nss, ss);
                q = select(step, nq, q);
                lg = select(step, nlg, lg);
                sg = select(step, nsg, sg);
                rr = select(step, nrr, rr);
                e = select(step, ne, e);
            }
            if (fullStep) rest = atRest();
        }

        if constexpr (M == Mode::Dual) {
            storeLanes(gain0 + i, gain1 + i, q);
        } else if constexpr (M == Mode::DualHQ) {
            // min() of two positive floats is exactly what the ratio-based combination gives.
            const V2 both = min(q, swapLanes(q));
            storeLane0(gain0 + i, both);
            storeLane0(gain1 + i, both);
        } else {
            (void)gain1;
            (void)kTwoComputers;
            storeLane0(gain0 + i, q);
        }
    }

    st.lastLevel = ll, st.softSpeed = ss, st.gain = q, st.lastGain = lg, st.phase = ph;
    st.shapedGain = sg, st.releaseRef = rr, st.envelope = e;
    in.punchIn = pIn;
    in.punchOut = pOut;
}

// Picks the instantiation for the Limit switch and the control grid.
template <Mode M>
inline void dispatch(Lanes& st, InputLanes& in, const GainParams& p, bool soft,
                     const float* detector, float* gain0, float* gain1, int32_t n) {
    const bool all = everySampleSteps(p, st);
    if (soft) {
        if (all) run<M, true, true>(st, in, p, detector, gain0, gain1, n);
        else run<M, true, false>(st, in, p, detector, gain0, gain1, n);
    } else {
        if (all) run<M, false, true>(st, in, p, detector, gain0, gain1, n);
        else run<M, false, false>(st, in, p, detector, gain0, gain1, n);
    }
}

} // namespace qx::kernel
