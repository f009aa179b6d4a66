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
// selects with the plain "if" semantics. The plain version is computeGains in
// tests/dsp/Reference.cpp: one scalar step at a time, no shortcuts. It is the reference this
// kernel is tested against, bit for bit (every output sample, the meters and every state field,
// tests/dsp/ReferenceMatchTest.cpp); read the two side by side, stage by stage.
//
// Internal to dsp/; included only by KernelInstance.inc.

#include "dsp/Floor.h"
#include "dsp/KernelEntry.h"
#include "dsp/LimiterChannel.h"
#include "dsp/Simd.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <type_traits>

#if defined(__GNUC__) || defined(__clang__)
#define QX_NOINLINE __attribute__((noinline))
#else
#define QX_NOINLINE
#endif

namespace qx::kernel {
// Internal linkage: each instruction-set build keeps its own copies (see KernelInstance.inc).
namespace {

using simd::M2;
using simd::V2;

// The control law's constants. Decimals are single-precision values widened to double, as the
// formulas use them; the integers are exact either way.
//
// Where the attack starts: u = x*e*(kAttackBase + kAttackRefWeight*releaseRef). With the release
// reference at 1 that is x*e = 1; with the gain held down (reference near 0) about 0.9 dB higher.
constexpr double kAttackBase = 0.9f;
constexpr double kAttackRefWeight = 0.1f;
// Attack depth per step: e / (1 + kAttackDepth*w*k^2*v / (1 + kAttackDamping*(1 - w)*v)). The
// depth grows with the overshoot k and the level change v, weighted by w, the part of the level's
// overshoot not yet caught (0 at the steady state e = 1/x); the damping eases the approach to
// that steady state while the level moves fast.
constexpr double kAttackDepth = 400.0;
constexpr double kAttackDamping = 500.0;
// Release activity: B = kActivityMax - 1/(1 + kActivityScale*v), about 0.1 for a steady signal
// and up to 1.1 while the level moves.
constexpr double kActivityMax = 1.1f;
constexpr double kActivityScale = 1000.0;
// Soft stage. D = r*(kRatioLinear + kRatioSquare*r) with r = g/q measures how far the shaped gain
// fell (exactly 1 for r = 1); F = E^4*(1 + kDropBoost*E*(g*v)^2) turns a large drop during fast
// change into a high speed; the speed memory decays by kSpeedDecay per control step, and the
// speed S never falls below kMinSpeed of the way.
constexpr double kRatioLinear = 0.7f;
constexpr double kRatioSquare = 0.3f;
constexpr double kDropBoost = 140.0;
constexpr double kSpeedDecay = 0.99f;
constexpr double kMinSpeed = 0.02f;

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
    // Writes lane L (0 or 1) back into its channel record.
    template <int L>
    void storeLane(LimiterChannel& c) const {
        auto f = [](V2 v) { return static_cast<float>(L == 0 ? simd::lane0(v) : simd::lane1(v)); };
        c.lastLevel = f(lastLevel);
        c.softSpeed = f(softSpeed);
        c.gain = f(gain);
        c.lastGain = f(lastGain);
        c.phase = f(phase);
        c.shapedGain = f(shapedGain);
        c.releaseRef = f(releaseRef);
        c.envelope = f(envelope);
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

// Whether the idle shortcut can be trusted with these coefficients: with a positive release rate,
// a non-negative brake and a Pressure mix inside 0..1 an envelope at 1.0 comes out at 1.0 again
// while the level stays at or below full scale. Coefficients from computeCoefficients always
// qualify; other settings simply take the full path.
inline bool idleShortcutHolds(const GainParams& p) {
    return p.releaseRate > 0.0f && p.releaseRate <= FLT_MAX && p.releaseBrake >= 0.0f &&
           p.releaseBrake <= FLT_MAX && p.pressureMix >= 0.0f && p.pressureMix <= 1.0f;
}

// How the control-rate accumulator is advanced.
enum class Grid {
    Every,  // 44.1 kHz with the accumulator at rest: every sample is a control step
    Float,  // float arithmetic, identical to the double formula in the checked range
    Double, // the formula as written: add in double, round, compare, subtract, round
};

// In Float mode: with the ratio in [2^-5, 1] and each phase 0 or in [2^-24, 4], the double sum
// and difference are exact (they span at most 50 bits), so rounding them once gives exactly the
// float sum and difference; and the results stay in that range.
inline Grid pickGrid(const GainParams& p, const Lanes& s) {
    using namespace simd;
    const V2 ph = s.phase, zero = splat(0.0);
    if (p.rateRatio == 1.0f && bits(ph == zero) == 3) return Grid::Every;
    const M2 inRange = (ph == zero) | ((ph >= splat(0x1p-24)) & (ph <= splat(4.0)));
    if (p.rateRatio >= 0x1p-5f && p.rateRatio <= 1.0f && bits(inRange) == 3) return Grid::Float;
    return Grid::Double;
}

template <Grid G>
struct Clock;

// Each clock also steps one lane's phase on its own (tickLane), for the idle run's replay, and
// can take over some lanes' phases from another (takeLanes).
template <>
struct Clock<Grid::Every> {
    float zero = 0.0f;
    Clock(V2, float) {}
    simd::M2 tick() { return simd::maskFromBits(3); }
    V2 phase(V2 unchanged) const { return unchanged; }
    bool tickLane(float&) const { return true; }
    float lanePhase(int) const { return zero; }
    void takeLanes(simd::M2, const Clock&) {}
};

template <>
struct Clock<Grid::Float> {
    simd::F2 ph, ratio;
    Clock(V2 phase, float r) : ph(simd::toFloats(phase)), ratio(simd::splatf(r)) {}
    simd::M2 tick() {
        using namespace simd;
        const F2 one = splatf(1.0f), sum = ph + ratio;
        const MF2 step = sum >= one;
        ph = select(step, sum - one, sum);
        return widen(step);
    }
    V2 phase(V2) const { return simd::toDoubles(ph); }
    bool tickLane(float& p) const {
        p = p + simd::lane0f(ratio);
        if (p < 1.0f) return false;
        p = p - 1.0f;
        return true;
    }
    float lanePhase(int k) const { return k == 0 ? simd::lane0f(ph) : simd::lane1f(ph); }
    void takeLanes(simd::M2 lanes, const Clock& from) { ph = simd::select(simd::narrow(lanes), from.ph, ph); }
};

template <>
struct Clock<Grid::Double> {
    V2 ph, ratio;
    Clock(V2 phase, float r) : ph(phase), ratio(simd::splat(r)) {}
    simd::M2 tick() {
        using namespace simd;
        const V2 one = splat(1.0), sum = roundToFloat(ph + ratio);
        const M2 step = sum >= one;
        ph = select(step, roundToFloat(sum - one), sum);
        return step;
    }
    V2 phase(V2) const { return ph; }
    bool tickLane(float& p) const {
        p = static_cast<float>(static_cast<double>(p) + simd::lane0(ratio));
        if (p < 1.0f) return false;
        p = static_cast<float>(static_cast<double>(p) - 1.0);
        return true;
    }
    float lanePhase(int k) const {
        return static_cast<float>(k == 0 ? simd::lane0(ph) : simd::lane1(ph));
    }
    void takeLanes(simd::M2 lanes, const Clock& from) { ph = simd::select(lanes, from.ph, ph); }
};

// The input stage of one sample: Low Punch allpass, input gain, flushing. Returns the detector
// level |d| of each gain lane. In Detector mode it only reads the given detector sample.
template <Mode M>
struct Conditioner {
    const float* in0;
    const float* in1;
    float* audio0;
    float* audio1;
    const float* detector;
    V2 pc, ig, pIn, pOut;
    simd::M2 lowPunch;

    Conditioner(const InputLanes& in, const float* det)
        : in0(in.in0), in1(in.in1), audio0(in.audio0), audio1(in.audio1), detector(det),
          pc(simd::splat(in.punchCoef)), ig(simd::splat(in.inputGain)), pIn(in.punchIn),
          pOut(in.punchOut), lowPunch(simd::maskFromBits(in.lowPunch ? 3 : 0)) {}

    void save(InputLanes& in) const { in.punchIn = pIn, in.punchOut = pOut; }

    V2 level(int32_t i) {
        using namespace simd;
        if constexpr (M == Mode::Detector) {
            return abs(splat(detector[i]));
        } else {
            const V2 floor = splat(kFloor), fltMax = splat(FLT_MAX);
            V2 x = loadFloats(in0 + i, in1 + i);
            // A NaN or infinity from the host would stay in the allpass state for good.
            x = keepWhere(abs(x) <= fltMax, x);
            const V2 y = ((pc * x + pIn) - pc * pOut) + floor;
            // Near full float range the state would overflow to infinity and stay there. Testing
            // y itself keeps the test beside the rounding instead of after it on the chain.
            pOut = keepWhere(fitsFloat(y), roundToFloat(y));
            pIn = x;
            V2 s = select(lowPunch, negate(y), x);
            s = zeroWhere(abs(s) < floor, s);
            V2 a = roundToFloat(s * ig);
            a = keepWhere(abs(a) <= fltMax, a);
            if constexpr (M == Mode::Single) storeLane0(audio0 + i, a);
            else storeLanes(audio0 + i, audio1 + i, a);
            V2 level = abs(a);
            if constexpr (M == Mode::Normal) {
                // The right sample counts only when strictly louder.
                level = dupLane0(max(swapLanes(level), level));
            }
            return level;
        }
    }
};

template <Mode M>
inline void storeGains(float* gain0, float* gain1, int32_t i, V2 q) {
    using namespace simd;
    if constexpr (M == Mode::Dual) {
        storeLanes(gain0 + i, gain1 + i, q);
    } else if constexpr (M == Mode::DualHQ) {
        // min() of two positive floats is exactly what the ratio-based combination gives.
        const V2 both = min(q, swapLanes(q));
        storeLane0(gain0 + i, both);
        storeLane0(gain1 + i, both);
    } else {
        (void)gain1;
        storeLane0(gain0 + i, q);
    }
}

// Idle run: envelope, shaped gain and gain sit at 1.0 and come out at 1.0 again as long as the
// level stays at or below full scale. What moves is the level memory, the release reference
// (to 1.0) and, in Soft mode, the speed memory.
//
// The speed memory is brought up to date lazily, by replaySoftSpeed once the run ends. A step
// whose level fell sets it to 0, and the level falls on most samples of real material, so only
// the steps after each lane's last fall need replaying; the loop itself just notes where that
// fall was and the accumulator's phase after it.
//
// Runs from sample i until a sample where a lane's level exceeds 1.0 and returns that sample (its
// input stage done, its level and grid step mask given back), or n. Kept apart from the
// full step so that its few live values stay in registers; state goes in and out by value, as
// the caller's loop would keep anything whose address was taken in memory.
template <Mode M, Grid kGrid>
struct IdleResult {
    int32_t i;
    Lanes st;
    Conditioner<M> cond;
    Clock<kGrid> clock;
    V2 level;
    simd::M2 step;
};

// Where an idle run started and where each lane's level last fell in it.
template <Grid kGrid>
struct IdleTrack {
    int32_t start;
    V2 lastLevel;          // the level memory at the start
    Clock<kGrid> clock;    // the accumulator at the start
    Clock<kGrid> atFall;   // the accumulator after each lane's last fall
    int32_t lastFell[2];   // -1 where the lane's level did not fall
};

// The level x = max(|detector sample|, 2^-32) an idle step of `lane` saw at sample j, read back
// from what the run left in the buffers.
template <Mode M>
inline double idleLevel(const Conditioner<M>& c, int32_t j, int lane) {
    double a;
    if constexpr (M == Mode::Detector) {
        a = std::fabs(static_cast<double>(c.detector[j]));
    } else if constexpr (M == Mode::Normal) {
        const double l = std::fabs(static_cast<double>(c.audio0[j]));
        const double r = std::fabs(static_cast<double>(c.audio1[j]));
        a = r > l ? r : l;
    } else {
        const float* src = (M == Mode::Single || lane == 0) ? c.audio0 : c.audio1;
        a = std::fabs(static_cast<double>(src[j]));
    }
    return a < kFloor ? kFloor : a;
}

// Replays the Soft speed memory over the idle samples [t.start, end) and returns it. With g/q
// exactly 1, D is kRatioLinear + kRatioSquare (0.7f + 0.3f, exactly 1), E is 0 and F sits at its
// floor 2^-32, so the candidate G reduces to F + x*x*F*(1-F)*(1+v); F being a power of two,
// (x*x*F)*(1-F) and (x*x)*(F*(1-F)) round alike. Only the steps after a lane's last fall count:
// the fall set the memory to 0.
template <Mode M, Grid kGrid>
inline V2 replaySoftSpeed(const Conditioner<M>& c, const Clock<kGrid>& clock,
                          const IdleTrack<kGrid>& t, V2 softSpeed, int32_t end) {
    using namespace simd;
    const double idleF1F = kFloor * (1.0 - kFloor);
    double ss[2] = {lane0(softSpeed), lane1(softSpeed)};
    const double prev0[2] = {lane0(t.lastLevel), lane1(t.lastLevel)};
    const int lanes = (M == Mode::Dual || M == Mode::DualHQ) ? 2 : 1;
    for (int k = 0; k < lanes; ++k) {
        int32_t j = t.start;
        double prev = prev0[k];
        float phase = t.clock.lanePhase(k);
        if (t.lastFell[k] >= t.start) {
            ss[k] = 0.0;
            j = t.lastFell[k] + 1;
            prev = idleLevel(c, t.lastFell[k], k);
            phase = t.atFall.lanePhase(k);
        }
        for (; j < end; ++j) { // no fall in here: d >= 0
            if (!clock.tickLane(phase)) continue;
            const double x = idleLevel(c, j, k);
            const double v = (x - prev) + kFloor;
            const double G = kFloor + ((x * x) * idleF1F) * (1.0 + v);
            if (G > ss[k]) ss[k] = static_cast<float>(G);
            else if (ss[k] > kFloor) ss[k] = static_cast<float>(kSpeedDecay * ss[k]);
            prev = x;
        }
    }
    if (lanes == 1) ss[1] = ss[0];
    return make(ss[0], ss[1]);
}

template <Mode M, bool kSoft, Grid kGrid>
QX_NOINLINE IdleResult<M, kGrid> idleRun(int32_t i, int32_t n, Conditioner<M> c, Lanes st,
                                         Clock<kGrid> clock, float* gain0, float* gain1) {
    using namespace simd;
    constexpr bool kAllSteps = kGrid == Grid::Every;
    const V2 one = splat(1.0), floor = splat(kFloor);
    const int32_t start = i;
    const Clock<kGrid> clock0 = clock;
    Clock<kGrid> atFall = clock;
    const V2 ll0 = st.lastLevel;
    V2 ll = ll0, rr = st.releaseRef, level{};
    M2 step = maskFromBits(3);
    int32_t lastFell[2] = {-1, -1};
    for (; i < n; ++i) {
        level = c.level(i);
        step = clock.tick();
        const int stepping = kAllSteps ? 3 : bits(step);
        // Above full scale in any lane, on the grid or off it (where a rising level can make a
        // control step), the full step decides.
        const V2 x = limitBelow(level, floor);
        if (bits(x <= one) != 3) break;
        if (stepping != 0) {
            if constexpr (kSoft) {
                const M2 fellMask = kAllSteps ? (x < ll) : ((x < ll) & step); // x - ll < 0, exactly
                const int fell = bits(fellMask);
                lastFell[0] = (fell & 1) ? i : lastFell[0];
                lastFell[1] = (fell & 2) ? i : lastFell[1];
                if constexpr (!kAllSteps) atFall.takeLanes(fellMask, clock);
            }
            if constexpr (kAllSteps) {
                ll = x, rr = one;
            } else {
                ll = select(step, x, ll), rr = select(step, one, rr);
            }
        }
        storeGains<M>(gain0, gain1, i, one);
    }
    st.lastLevel = ll, st.releaseRef = rr;
    if constexpr (kSoft) {
        if (i != start) {
            const IdleTrack<kGrid> track{start, ll0, clock0, atFall, {lastFell[0], lastFell[1]}};
            st.softSpeed = replaySoftSpeed(c, clock, track, st.softSpeed, i);
        }
    }
    return {i, st, c, clock, level, step};
}

// Runs n samples. `detector` is read in Detector mode only; `in` is used in every other mode.
// Gains go to gain0 (and gain1 in the dual modes). The caller stores the lanes back.
//
// Legend. Every value is a pair of doubles, one per lane (gain computer). "Per step" means once
// per control step: every sample at 44.1 kHz and below; above, every sample on the 44.1 kHz grid
// and, off it, a sample whose level rises above lastLevel past full scale and the attack point.
//
// State (the LimiterChannel fields, in `st`; floats widened, each rounded to float when stored):
//   phase       control-rate accumulator: phase += rateRatio per sample, a grid step when it
//               reaches 1, then phase -= 1; an onset step off the grid leaves it (per sample)
//   lastLevel   x of the previous step                                          (per step)
//   envelope    e, the core gain, (0, 1]: lowered by the attack, raised by the release
//                                                                               (per step)
//   shapedGain  g of the previous step                                          (per step)
//   releaseRef  shapedGain as the previous release step found it          (per release step)
//   gain        q, the gain applied to the channel: g in Hard mode, the Soft stage's result in
//               Soft mode                                                        (per step)
//   lastGain    gain as the previous Soft step left it                      (per Soft step)
//   softSpeed   decaying memory of the Soft stage's fastest recent speed G, 0..1
//                                                                           (per Soft step)
// Coefficients (per call): rate = releaseRate (Release1), brake = releaseBrake (Release2),
// pm = pressureMix (Pressure), the accumulator's rateRatio inside `clock`.
//
// Locals of one step (e, q, qLast, speed, shaped and ref are the state as the step found it):
//   x      level: max(|detector sample|, 2^-32)
//   d      level change: x - lastLevel; `fell` where d < 0
//   m      change, a fall weighted by the envelope: d, or -d*(1 + e) when d < 0
//   v      m + 2^-32, never 0
//   u      level after the envelope, against the threshold 1:
//          x*e*(kAttackBase + kAttackRefWeight*ref)
//   k      overshoot: 1 - 1/u                                          (attack, u > 1 and x > 1)
//   w      part of the overshoot not yet caught: min(k^2 / (1 - 1/x), 1)            (attack)
//   dd     rise of the shaped gain since the previous release step: max(shaped - ref, 0)
//                                                                            (release, u < 1)
//   B      activity: kActivityMax - 1/(1 + kActivityScale*v)                        (release)
//   R      e/(x*q), inverted when above 1: the release slows as it nears 1       (release)
//   C      brake: 1/(1 + dd*brake)                                                  (release)
//   t      release step: rate*C*B*(1 - u)^3*e*(1 - R)/q; e grows to min(e*(1 + t), 1)
//   g      shaped gain: min(pm*sqrt(e) + (1 - pm)*e, 1), with e the new envelope
//   H      loudness: min(g*x, 1)*min(x*q, 1)                                            (Soft)
//   D      fall measure: r*(kRatioLinear + kRatioSquare*r) with r = g/q, inverted above 1
//   E      1 - D
//   F      E^4*(1 + kDropBoost*E*(g*v)^2), limited to 2^-32..1                         (Soft)
//   G      candidate speed: min(F + H*F*(1 - F)*(1 + g*v), 1); 0 when the level fell  (Soft)
//   S      speed of this step: speed + kMinSpeed*(1 - speed), with the new speed memory
//   qn     new gain: q + S*(g - qLast), limited to g..1                                (Soft)
// Masks: step (this sample is a control step), fell, attack (u > 1 and x > 1), release (u < 1),
// rising (Soft: the shaped gain rose or held, stage 7). Pieces: level (x before its floor), k2
// = k^2, om = 1 - u, eA and eR the envelope after attack and release, r = g/q, E2 = E^2,
// E4 = E^4, gv = g*v, speed0 the memory after a fall's reset, decayed = kSpeedDecay*speed0.
// A name ending in New is the value a state field takes at the end of the step (stage 8).
template <Mode M, bool kSoft, Grid kGrid>
inline void run(Lanes& state, InputLanes& in, const GainParams& p, const float* detector,
                float* gain0, float* gain1, int32_t n) {
    using namespace simd;
    constexpr bool kAllSteps = kGrid == Grid::Every;

    // ---- state in: a local whose address never escapes, so it lives in registers
    Lanes st = state;

    const V2 zero = splat(0.0), one = splat(1.0), floor = splat(kFloor);
    const V2 attackBase = splat(kAttackBase), attackRefWeight = splat(kAttackRefWeight);
    const V2 attackDepth = splat(kAttackDepth), attackDamping = splat(kAttackDamping);
    const V2 activityMax = splat(kActivityMax), activityScale = splat(kActivityScale);
    const V2 ratioLinear = splat(kRatioLinear), ratioSquare = splat(kRatioSquare);
    const V2 dropBoost = splat(kDropBoost), speedDecay = splat(kSpeedDecay);
    const V2 minSpeed = splat(kMinSpeed);
    const V2 rate = splat(p.releaseRate), brake = splat(p.releaseBrake);
    const V2 pm = splat(p.pressureMix);

    Conditioner<M> cond(in, detector);
    Clock<kGrid> clock(st.phase, p.rateRatio);
    const bool shortcutOk = idleShortcutHolds(p);
    auto atRest = [&]() {
        M2 c = (st.envelope == one) & (st.shapedGain == one) & (st.gain == one) &
               (st.releaseRef >= zero) & (st.releaseRef <= one);
        if constexpr (kSoft) c = c & (st.lastGain == one);
        return shortcutOk && bits(c) == 3;
    };

    for (int32_t i = 0; i < n; ++i) {
        // 1. Clock: the input stage of this sample, and whether it is a control step. At rest
        //    the idle run takes over until a level above full scale arrives.
        V2 level;
        M2 step;
        if (atRest()) {
            const IdleResult<M, kGrid> r =
                idleRun<M, kSoft, kGrid>(i, n, cond, st, clock, gain0, gain1);
            i = r.i, st = r.st, cond = r.cond, clock = r.clock, level = r.level, step = r.step;
            if (i >= n) break;
        } else {
            level = cond.level(i);
            step = clock.tick();
        }
        // Off the grid a sample is a control step only where its level rises above the last
        // step's, past full scale and past the attack point: an onset between grid steps would
        // otherwise leave at the gain of the step before, 1.0 after a release. The phase stays.
        if constexpr (!kAllSteps) {
            if (bits(step) != 3) {
                const V2 x = limitBelow(level, floor);
                const int rising = bits((x > one) & (x > st.lastLevel)) & ~bits(step);
                if (rising != 0) {
                    const V2 u = (x * st.envelope) * (attackBase + attackRefWeight * st.releaseRef);
                    step = step | (maskFromBits(rising) & (u > one));
                }
                if (bits(step) == 0) {
                    storeGains<M>(gain0, gain1, i, st.gain);
                    continue;
                }
            }
        }

        // 2. Level and change.
        const V2 e = st.envelope, q = st.gain, qLast = st.lastGain, speed = st.softSpeed;
        const V2 shaped = st.shapedGain, ref = st.releaseRef;
        const V2 x = limitBelow(level, floor);
        const V2 d = x - st.lastLevel;
        const M2 fell = d < zero;
        const V2 m = select(fell, negate(d) * (one + e), d);
        const V2 v = m + floor;
        const V2 u = (x * e) * (attackBase + attackRefWeight * ref);
        const M2 attack = (u > one) & (x > one);
        const M2 release = u < one;

        // The branch conditions of stages 3 and 4 depend on the level and the envelope only, so
        // they resolve long before the gain of the previous step arrives; a misprediction costs
        // little.
        V2 envelopeNew = e, refNew = ref;
        // 3. Attack.
        if (bits(attack) != 0) {
            const V2 k = one - one / u;
            const V2 k2 = k * k;
            const V2 w = limitAbove(k2 / (one - one / x), one);
            V2 eA = e / (one + ((attackDepth * w) * k2) * v / (one + (attackDamping * (one - w)) * v));
            // Absurd levels (beyond about 1e7) can take the envelope below the float range; at
            // 0 the next step would divide 0 by 0. Only there does this limit act.
            eA = limitBelow(eA, splat(FLT_MIN));
            envelopeNew = select(attack, eA, envelopeNew);
        }
        // 4. Release.
        if (bits(release) != 0) {
            const V2 dd = limitBelow(shaped - ref, zero);
            const V2 B = activityMax - one / (one + activityScale * v);
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
            envelopeNew = select(release, eR, envelopeNew);
            refNew = select(release, shaped, ref);
        }
        envelopeNew = roundToFloat(envelopeNew);

        // 5. Pressure shaping.
        const V2 g = limitAbove(pm * sqrt(envelopeNew) + (one - pm) * envelopeNew, one);
        const V2 shapedNew = roundToFloat(g);

        // 6. Hard: the shaped gain is applied as it is; lastGain and softSpeed stay.
        V2 gainNew = shapedNew, lastGainNew = qLast, speedNew = speed;
        // 7. Soft.
        if constexpr (kSoft) {
            // Speed memory. A falling level zeroes G and the memory, so the long chain through
            // r, D, F and G has no effect then.
            if (bits(fell) == 3) {
                speedNew = zero;
            } else {
                const V2 H = limitAbove(g * x, one) * limitAbove(x * q, one);
                const V2 r = g / q;
                V2 D = r * (ratioLinear + ratioSquare * r);
                D = select(D > one, one / D, D);
                const V2 E = one - D;
                const V2 E2 = E * E;
                const V2 E4 = E2 * E2;
                const V2 gv = g * v;
                V2 F = E4 * (one + (dropBoost * E) * (gv * gv));
                F = limitBelow(F, floor);
                F = limitAbove(F, one);
                V2 G = F + ((H * F) * (one - F)) * (one + gv);
                G = limitAbove(G, one);
                G = zeroWhere(fell, G);
                const V2 speed0 = zeroWhere(fell, speed);
                const V2 decayed = select(speed0 > floor, roundToFloat(speedDecay * speed0), speed0);
                speedNew = select(G > speed0, roundToFloat(G), decayed);
            }
            // A rising (or held) shaped gain is taken over at once: with lastGain equal to gain
            // and q <= g <= 2q, g - q is exact, S <= 1 makes S*(g - q) <= g - q, so q + S*(g - q)
            // cannot exceed g and the limit returns g whatever S is. That takes the speed memory
            // off the gain's dependency chain; the branch resolves as soon as g is known.
            const M2 rising = (qLast == q) & (q <= g) & (g <= q + q);
            if (bits(rising) == 3) {
                gainNew = shapedNew;
            } else {
                const V2 S = speedNew + minSpeed * (one - speedNew);
                V2 qn = q + S * (g - qLast);
                qn = limitBelow(qn, g);
                qn = limitAbove(qn, one);
                gainNew = roundToFloat(qn);
            }
            lastGainNew = gainNew;
        }

        // 8. Commit: a control step stores its results; in a lane without one they stay.
        if constexpr (kAllSteps) {
            st.lastLevel = x, st.softSpeed = speedNew, st.gain = gainNew, st.lastGain = lastGainNew;
            st.shapedGain = shapedNew, st.releaseRef = refNew, st.envelope = envelopeNew;
        } else {
            st.lastLevel = select(step, x, st.lastLevel);
            st.softSpeed = select(step, speedNew, speed);
            st.gain = select(step, gainNew, q);
            st.lastGain = select(step, lastGainNew, qLast);
            st.shapedGain = select(step, shapedNew, shaped);
            st.releaseRef = select(step, refNew, ref);
            st.envelope = select(step, envelopeNew, e);
        }
        storeGains<M>(gain0, gain1, i, st.gain);
    }
    cond.save(in);
    st.phase = clock.phase(st.phase);

    // ---- state out
    state = st;
}

// Picks the instantiation for the Limit switch and the control grid.
template <Mode M>
inline void dispatch(Lanes& st, InputLanes& in, const GainParams& p, bool soft,
                     const float* detector, float* gain0, float* gain1, int32_t n) {
    auto go = [&](auto soft_, auto grid_) {
        run<M, decltype(soft_)::value, decltype(grid_)::value>(st, in, p, detector, gain0, gain1, n);
    };
    using Soft = std::true_type;
    using Hard = std::false_type;
    auto with = [&](auto limit) {
        switch (pickGrid(p, st)) {
        case Grid::Every: go(limit, std::integral_constant<Grid, Grid::Every>{}); break;
        case Grid::Float: go(limit, std::integral_constant<Grid, Grid::Float>{}); break;
        case Grid::Double: go(limit, std::integral_constant<Grid, Grid::Double>{}); break;
        }
    };
    if (soft) with(Soft{});
    else with(Hard{});
}

} // namespace
} // namespace qx::kernel
