// The block routine: life cycle, channel and output selection, Low Punch, meters, the two call
// modes, and the host values it must survive.

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace qx::test {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<float> tone(double hz, int n, float amp = 0.25f, double rate = 44100.0) {
    std::vector<float> x(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) x[i] = amp * static_cast<float>(std::sin(2 * kPi * hz * i / rate));
    return x;
}

struct Stereo {
    std::vector<float> l, r;
    Stereo(int n, float fill) : l(static_cast<size_t>(n), fill), r(static_cast<size_t>(n), fill) {}
    float* const* ptrs() { return ptr_[0] = l.data(), ptr_[1] = r.data(), ptr_; }
    float* ptr_[2];
};

// Runs in blocks of `block` and returns both outputs.
Stereo runAll(Rig& rig, const std::vector<float>& l, const std::vector<float>& r, int block = 512) {
    const int n = static_cast<int>(l.size());
    Stereo out(n, 0.0f);
    for (int pos = 0; pos < n; pos += block)
        rig.run(l.data() + pos, r.data() + pos, out.l.data() + pos, out.r.data() + pos, std::min(block, n - pos));
    return out;
}

// ---------------------------------------------------------------- life cycle

TEST(EngineLifecycle, StartsSuspendedAndAllocatesOnFirstResume) {
    ParamArray params{};
    for (int i = 0; i < kNumParams; ++i) params[i].store(kDefaults[i]);
    LimiterEngine e(params);
    e.recalculate();
    EXPECT_FALSE(e.running());
    EXPECT_FALSE(e.buffersAllocated());
    EXPECT_EQ(e.sampleRate(), 44100.0f);
    EXPECT_EQ(e.blockSize(), 1024);
    EXPECT_EQ(e.rateRatio(), 1.0f);

    Pins pins;
    Stereo in(64, 0.5f), out(64, 7.0f);
    e.process(in.ptrs(), out.ptrs(), 64, false, pins);
    EXPECT_EQ(out.l[0], 7.0f) << "suspended: outputs untouched";

    e.resume();
    ASSERT_TRUE(e.buffersAllocated());
    const float* buffer = e.channel(0).gainBuffer;
    e.resume();
    EXPECT_EQ(e.channel(0).gainBuffer, buffer) << "a second resume only clears";
}

TEST(EngineLifecycle, SetUpCallsReplaceOrClearTheBuffers) {
    Rig rig(44100.0f, 256);
    const float* before = rig.engine.channel(0).gainBuffer;
    rig.engine.setSampleRate(96000.0f);
    EXPECT_EQ(rig.engine.rateRatio(), 0.459375f);
    EXPECT_NEAR(rig.engine.coefficients().punchCoef, -0.986995, 1e-6);
    EXPECT_EQ(rig.engine.channel(0).gainBuffer, before) << "a rate change clears in place";

    std::vector<float> loud(300, 3.0f);
    Stereo out(300, 0.0f);
    rig.run(loud.data(), loud.data(), out.l.data(), out.r.data(), 300);
    const float envelope = rig.engine.channel(0).envelope;
    ASSERT_LT(envelope, 1.0f);
    rig.engine.setBlockSize(4096);
    EXPECT_NE(rig.engine.channel(0).gainBuffer, before);
    EXPECT_EQ(rig.engine.channel(0).gainBuffer[4095], 1.0f);
    EXPECT_EQ(rig.engine.channel(0).envelope, envelope) << "channel state survives a new size";

    ASSERT_LT(rig.engine.meters().minGain.load(), 1.0f);
    rig.engine.suspend();
    EXPECT_EQ(rig.engine.meters().minGain.load(), 1.0f);
    EXPECT_EQ(rig.engine.meters().peakOut.load(), 0.0f);
    Stereo untouched(300, 5.0f);
    rig.run(loud.data(), loud.data(), untouched.l.data(), untouched.r.data(), 300);
    EXPECT_EQ(untouched.l[50], 5.0f) << "suspended: blocks are ignored";
    rig.engine.resume();
    EXPECT_EQ(rig.engine.channel(0).gain, 1.0f) << "switching on drops reduction in progress";
}

// ---------------------------------------------------------------- signal path

TEST(EngineSignal, UnityBelowFullScaleWithInputZeroAndOutputHalf) {
    Rig rig;
    rig.set(kStereoLink, 0.0f);
    const std::vector<float> l = material(7, 20000, 0.39f), r = material(8, 20000, 0.39f);
    const Stereo out = runAll(rig, l, r);
    for (size_t i = 0; i < l.size(); ++i) {
        const float want = std::fabs(l[i]) < 0x1p-32f ? 0.0f : l[i];
        ASSERT_EQ(out.l[i], want) << i;
    }
}

class LowPunchPhase : public ::testing::TestWithParam<std::tuple<double, double>> {};

TEST_P(LowPunchPhase, TurnsTheToneAheadAtUnchangedLevel) {
    const double hz = std::get<0>(GetParam()), degrees = std::get<1>(GetParam());
    const int settle = 44100, n = settle + 44100; // a whole number of cycles after settling
    const std::vector<float> x = tone(hz, n);
    auto phaseAndLevel = [&](float punch) {
        Rig rig;
        rig.set(kLowPunch, punch);
        const Stereo out = runAll(rig, x, x);
        double i = 0, q = 0;
        for (int k = settle; k < n; ++k) {
            const double w = 2 * kPi * hz * k / 44100.0;
            i += out.l[k] * std::sin(w);
            q += out.l[k] * std::cos(w);
        }
        return std::make_pair(std::atan2(q, i) * 180 / kPi, std::hypot(i, q));
    };
    const auto off = phaseAndLevel(0.0f), on = phaseAndLevel(1.0f);
    EXPECT_NEAR(on.first - off.first, degrees, 0.5);
    EXPECT_NEAR(on.second / off.second, 1.0, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Frequencies, LowPunchPhase,
                         ::testing::Values(std::make_tuple(20.0, 168.6), std::make_tuple(200.0, 90.0),
                                           std::make_tuple(5000.0, 4.4)));

TEST(EngineSignal, SilenceWithLowPunchLeavesTheAllpassOffset) {
    std::vector<float> zero(5000, 0.0f);
    Rig off;
    EXPECT_EQ(runAll(off, zero, zero).l.back(), 0.0f);

    Rig on;
    on.set(kLowPunch, 1.0f);
    const double c = on.engine.coefficients().punchCoef;
    EXPECT_NEAR(runAll(on, zero, zero).l.back(), -0x1p-32 / (1 + c), 1e-13); // about -8.3e-9

    Rig quiet; // Output 0: the offset falls below the flush threshold
    quiet.set(kLowPunch, 1.0f);
    quiet.set(kOutput, 0.0f);
    EXPECT_EQ(runAll(quiet, zero, zero).l.back(), 0.0f);
}

// ---------------------------------------------------------------- channel and output selection

TEST(EngineRouting, MonoBufferIsProcessedOnceForBothOutputs) {
    const std::vector<float> x = material(3, 6000);
    Stereo linked(6000, 0.0f), unlinked(6000, 0.0f);
    for (float link : {1.0f, 0.0f}) {
        Rig rig;
        rig.set(kStereoLink, link);
        Stereo& out = link == 1.0f ? linked : unlinked;
        rig.run(x.data(), x.data(), out.l.data(), out.r.data(), 6000);
        EXPECT_EQ(rig.engine.meters().singleChannel.load(), 1);
        EXPECT_EQ(rig.pins.queries, 2) << "only the output pins are asked";
    }
    EXPECT_EQ(linked.l, linked.r);
    EXPECT_EQ(linked.l, unlinked.l) << "Stereo Link has no effect on a mono buffer";
}

TEST(EngineRouting, SharedOutputBufferIsWrittenOnce) {
    const std::vector<float> l = material(4, 3000), r = material(5, 3000);
    Rig separate, shared;
    const Stereo want = runAll(separate, l, r);
    std::vector<float> one(3000, 0.0f);
    shared.run(l.data(), r.data(), one.data(), one.data(), 3000);
    EXPECT_EQ(one, want.l);
    std::vector<float> twice = one;
    shared.engine.resume();
    shared.run(l.data(), r.data(), twice.data(), twice.data(), 3000, true);
    for (size_t i = 0; i < one.size(); ++i) ASSERT_EQ(twice[i], one[i] + want.l[i]);
}

TEST(EngineRouting, ForceChannelCopiesOneProcessedInput) {
    const std::vector<float> l = material(9, 4000), r = material(10, 4000);
    Rig stereo;
    stereo.set(kStereoLink, 0.0f);
    const Stereo both = runAll(stereo, l, r);
    for (float force : {0.5f, 0.99f, 1.0f}) {
        Rig rig;
        rig.set(kAutoChannel, 0.0f);
        rig.set(kForceChannel, force);
        const Stereo out = runAll(rig, l, r);
        EXPECT_EQ(out.l, out.r);
        EXPECT_EQ(out.l, force < 1.0f ? both.l : both.r) << force;
    }
}

TEST(EngineRouting, DisconnectedPinsChooseChannelsAndOutputs) {
    const std::vector<float> l = material(11, 3000), r = material(12, 3000);
    Rig stereo;
    stereo.set(kStereoLink, 0.0f);
    const Stereo both = runAll(stereo, l, r);

    Rig rightIn; // Auto Channel: only input pin 1 connected -> the right input on both outputs
    rightIn.pins.in[0] = false;
    const Stereo a = runAll(rightIn, l, r);
    EXPECT_EQ(a.l, both.r);
    EXPECT_EQ(a.r, both.r);
    EXPECT_EQ(rightIn.engine.meters().singleChannel.load(), 1);

    Rig leftOnly; // Force Left, only output pin 1 connected: output 0 untouched
    leftOnly.set(kAutoChannel, 0.0f);
    leftOnly.set(kForceChannel, 0.5f);
    leftOnly.pins.out[0] = false;
    Stereo out(3000, 9.0f);
    leftOnly.run(l.data(), r.data(), out.l.data(), out.r.data(), 3000);
    EXPECT_EQ(out.l, std::vector<float>(3000, 9.0f));
    EXPECT_EQ(out.r, both.l);
}

TEST(EngineRouting, StereoLinkNeedsExactlyOne) {
    const std::vector<float> l = material(13, 5000), r = material(14, 5000, 2.0f);
    Rig off, almost;
    off.set(kStereoLink, 0.0f);
    almost.set(kStereoLink, 0.999f);
    EXPECT_EQ(runAll(off, l, r).l, runAll(almost, l, r).l);
}

TEST(EngineRouting, LinkedChannelsShareTheReduction) {
    std::vector<float> l(2000, 0.1f), r(2000, 0.1f);
    for (int i = 1000; i < 1100; ++i) r[i] = 2.0f; // a transient on the right only
    for (float quality : {0.0f, 1.0f}) {
        Rig rig;
        rig.set(kLinkQuality, quality);
        const Stereo out = runAll(rig, l, r);
        for (int i = 0; i < 2000; ++i) {
            if (l[i] == r[i]) ASSERT_EQ(out.l[i], out.r[i]) << quality << " " << i;
            else ASSERT_NEAR(out.l[i] / l[i], out.r[i] / r[i], 1e-6) << quality << " " << i;
        }
        EXPECT_LT(out.l[1050], 0.1f * 0.9f) << "the left output follows the right's reduction";
    }
}

// ---------------------------------------------------------------- meters and call modes

TEST(EngineMeters, ClipOnlyAboveFullScale) {
    for (float output : {0.5f, 0.5000001f}) {
        Rig rig;
        rig.set(kLimit, 0.0f);
        rig.set(kOutput, output);
        std::vector<float> x(10, 1.0f);
        runAll(rig, x, x);
        const bool over = output > 0.5f;
        EXPECT_EQ(rig.engine.meters().clipHold.load(), over ? 27 : 0);
        EXPECT_EQ(rig.engine.meters().peakOut.load() > 1.0f, over);
        EXPECT_EQ(rig.engine.meters().minGain.load(), 1.0f);
    }
}

TEST(EngineModes, AccumulateAddsAndReplaceOverwrites) {
    const std::vector<float> l = material(15, 2000), r = material(16, 2000);
    Rig a, b, c;
    const Stereo plain = runAll(a, l, r);
    Stereo out(2000, 0.25f);
    b.run(l.data(), r.data(), out.l.data(), out.r.data(), 2000, true);
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(out.l[i], 0.25f + plain.l[i]);
    c.run(l.data(), r.data(), out.l.data(), out.r.data(), 2000, true);
    c.engine.resume();
    c.run(l.data(), r.data(), out.l.data(), out.r.data(), 2000, false);
    EXPECT_EQ(out.l, plain.l);
    EXPECT_EQ(out.r, plain.r);
}

TEST(EngineModes, EmptyBlockStillAsksThePins) {
    Rig rig;
    rig.pins.in[1] = false;
    Stereo in(4, 1.0f), out(4, 3.0f);
    rig.engine.process(in.ptrs(), out.ptrs(), 0, false, rig.pins);
    EXPECT_EQ(rig.pins.queries, 4);
    EXPECT_EQ(rig.engine.meters().singleChannel.load(), 1);
    EXPECT_EQ(out.l[0], 3.0f);
}

// ---------------------------------------------------------------- host values it must survive

TEST(EngineHostFaults, BlocksLongerThanTheBuffersGiveTheSameResult) {
    const std::vector<float> l = material(17, 30000, 2.0f), r = material(18, 30000, 2.0f);
    for (float rate : {44100.0f, 96000.0f}) {
        Rig small(rate, 16), large(rate, 30000);
        const Stereo a = runAll(small, l, r, 30000), b = runAll(large, l, r, 30000);
        EXPECT_EQ(a.l, b.l);
        EXPECT_EQ(a.r, b.r);
    }
}

TEST(EngineHostFaults, NonFiniteInputIsSilence) {
    std::vector<float> x = material(19, 8000, 2.0f), cleaned = x;
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    for (int i = 0; i < 30; ++i) x[100 + 250 * i] = bad[i % 3], cleaned[100 + 250 * i] = 0.0f;
    for (float punch : {0.0f, 1.0f}) {
        Rig dirty, clean;
        dirty.set(kLowPunch, punch);
        clean.set(kLowPunch, punch);
        const Stereo a = runAll(dirty, x, x), b = runAll(clean, cleaned, cleaned);
        EXPECT_EQ(a.l, b.l);
        EXPECT_TRUE(std::isfinite(dirty.engine.channel(0).envelope));
    }
}

TEST(EngineHostFaults, ContinuousValuesOutsideTheRangeActAsItsNearestEnd) {
    // Bit for bit the output of the range's end, from the block of the write on, for loud and
    // quiet material; NaN counts as 0.
    const float inf = std::numeric_limits<float>::infinity();
    const float hostile[] = {1e30f, -1e30f, 3.4e38f, -3.4e38f, inf, -inf,
                             std::numeric_limits<float>::quiet_NaN(), -1.0f, 2.0f, 10.0f};
    const std::vector<float> loud = material(23, 6000, 3.0f), quiet = material(24, 6000, 0.05f);
    for (int index : {kInput, kPressure, kRelease1, kRelease2, kOutput}) {
        for (float value : hostile) {
            const float end = value > 1.0f ? 1.0f : 0.0f;
            for (const std::vector<float>* x : {&loud, &quiet}) {
                Rig rig, nearest;
                rig.set(kInput, 0.6f), nearest.set(kInput, 0.6f);
                runAll(rig, *x, *x, 1000);
                runAll(nearest, *x, *x, 1000);
                rig.set(index, value), nearest.set(index, end);
                const Stereo got = runAll(rig, *x, *x), want = runAll(nearest, *x, *x);
                ASSERT_EQ(got.l, want.l) << "parameter " << index << " = " << value;
                ASSERT_EQ(got.r, want.r) << "parameter " << index << " = " << value;
                for (float y : got.l) ASSERT_TRUE(std::isfinite(y));
            }
        }
    }
}

TEST(EngineHostFaults, LevelsNearTheFloatLimitBetweenControlStepsGiveNoInfinity) {
    // At 96 kHz every other sample keeps the previous step's gain unless its level rises; output
    // gain 2 would carry such a sample beyond the float range at a gain near 1.
    for (float punch : {0.0f, 1.0f}) {
        Rig rig(96000.0f);
        rig.set(kOutput, 1.0f);
        rig.set(kLowPunch, punch);
        std::vector<float> x(512, 0.0f);
        for (int i = 101; i < 109; ++i) x[i] = 3.4e38f;
        const Stereo out = runAll(rig, x, x);
        for (float y : out.l) ASSERT_TRUE(std::isfinite(y));
        EXPECT_TRUE(std::isfinite(rig.engine.meters().peakOut.load()));
    }
}

TEST(EngineHostFaults, UnusableSampleRatesKeepThePreviousOne) {
    Rig rig(48000.0f);
    const Coefficients before = rig.engine.coefficients();
    for (float rate : {0.0f, 1e-40f, 0.5f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity(), 2.0e6f}) {
        rig.engine.setSampleRate(rate);
        rig.engine.setBlockSizeAndSampleRate(512, rate);
        EXPECT_EQ(rig.engine.sampleRate(), 48000.0f) << rate;
        EXPECT_EQ(rig.engine.rateRatio(), static_cast<float>(44100.0 / 48000.0));
        EXPECT_EQ(rig.engine.coefficients().punchCoef, before.punchCoef);
    }
    rig.engine.setSampleRate(1.0e6f);
    EXPECT_EQ(rig.engine.sampleRate(), 1.0e6f);
}

TEST(EngineHostFaults, BlockSizesOutsideTheUsableRangeAreClamped) {
    const std::vector<float> l = material(20, 5000, 2.0f);
    Rig reference(44100.0f, 8192);
    const Stereo want = runAll(reference, l, l, 700);
    for (int32_t size : {0, -5, std::numeric_limits<int32_t>::min()}) {
        Rig rig(44100.0f, size);
        EXPECT_EQ(rig.engine.blockSize(), 1);
        EXPECT_EQ(runAll(rig, l, l, 700).l, want.l);
    }
    Rig huge(44100.0f, 1 << 20);
    huge.engine.setBlockSize(std::numeric_limits<int32_t>::max());
    EXPECT_EQ(huge.engine.blockSize(), 1 << 20);
}

TEST(EngineHostFaults, NullChannelPointersDoNothing) {
    Rig rig;
    Stereo in(8, 1.0f), out(8, 4.0f);
    float* const* o = out.ptrs();
    const float* const* i = in.ptrs();
    const float* halfIn[2] = {in.l.data(), nullptr};
    float* halfOut[2] = {nullptr, out.r.data()};
    rig.engine.process(nullptr, o, 8, false, rig.pins);
    rig.engine.process(i, nullptr, 8, false, rig.pins);
    rig.engine.process(halfIn, o, 8, false, rig.pins);
    rig.engine.process(i, halfOut, 8, false, rig.pins);
    EXPECT_EQ(rig.pins.queries, 0);
    EXPECT_EQ(out.l, std::vector<float>(8, 4.0f));
    EXPECT_EQ(out.r, std::vector<float>(8, 4.0f));
}

} // namespace
} // namespace qx::test
