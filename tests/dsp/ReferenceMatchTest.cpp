// The optimised engine against the plain transcription in Reference.cpp: every output bit, the
// meters and the gain-computer state, over long varied material, every switch setting, seven
// sample rates (22.05 to 192 kHz, with onsets between the grid steps above 44.1 kHz), random
// block splits (including blocks longer than the buffers) and a random mix of replacing and
// accumulating calls.

#include "Reference.h"
#include "TestSupport.h"
#include "dsp/KernelEntry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

namespace qx::test {
namespace {

enum ChannelMode { AutoStereo, ForceStereo, ForceLeft, ForceRight, AutoMono, AutoPins, kModes };

uint32_t bitsOf(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

void expectSameBits(const std::vector<float>& got, const std::vector<float>& want, const char* what) {
    for (size_t i = 0; i < got.size(); ++i) {
        if (bitsOf(got[i]) != bitsOf(want[i])) {
            ADD_FAILURE() << what << " differs first at sample " << i << ": " << got[i] << " vs "
                          << want[i];
            return;
        }
    }
}

bool sameState(const LimiterChannel& c, const ref::Channel& r) {
    const float a[] = {c.lastLevel, c.softSpeed, c.gain, c.lastGain,
                       c.phase, c.shapedGain, c.releaseRef, c.envelope};
    const float b[] = {r.lastLevel, r.softSpeed, r.gain, r.lastGain,
                       r.phase, r.shapedGain, r.releaseRef, r.envelope};
    return std::memcmp(a, b, sizeof a) == 0;
}

// Runs `body` once with each kernel variant this processor supports.
template <class Body>
void forEachIsa(Body body) {
    const kernel::Isa all[] = {kernel::Isa::Baseline, kernel::Isa::Avx2, kernel::Isa::Avx512};
    for (kernel::Isa isa : all) {
        if (static_cast<int>(isa) > static_cast<int>(kernel::bestIsa())) break;
        kernel::useIsa(isa);
        SCOPED_TRACE(::testing::Message() << "kernel variant " << static_cast<int>(isa));
        body();
    }
    kernel::useIsa(kernel::bestIsa());
}

// Runs the same material through both and compares. `mutate` may change parameters of both
// before each block.
template <class Mutate>
void compare(uint32_t seed, float rate, const float* params, int mode, float scale, Mutate mutate,
             int n = 24000) {
    Noise rng(seed);
    Rig rig(rate, 32 + rng.below(700));
    ref::Engine model;
    model.setSampleRate(rate);
    model.resume();
    for (int i = 0; i < kNumParams; ++i) rig.set(i, params[i]), model.params[i] = params[i];

    std::vector<float> l = material(seed, n, scale), r = material(seed + 77, n, scale);
    std::vector<float> out[2], want[2];
    for (int k = 0; k < 2; ++k) {
        out[k] = material(seed + 5 + k, n, 0.3f);
        want[k] = out[k];
    }
    const bool mono = mode == AutoMono;
    if (mode == AutoPins) rig.pins.in[1] = model.inPin[1] = false, rig.pins.out[0] = model.outPin[0] = false;

    for (int pos = 0; pos < n;) {
        const int len = std::min(n - pos, rng.below(8) == 0 ? rng.below(2500) : rng.below(600));
        const bool acc = rng.below(3) == 0;
        mutate(rng, rig, model);
        const float* in[2] = {l.data() + pos, (mono ? l.data() : r.data()) + pos};
        float* o[2] = {out[0].data() + pos, out[1].data() + pos};
        float* w[2] = {want[0].data() + pos, want[1].data() + pos};
        rig.engine.process(in, o, len, acc, rig.pins);
        model.process(in, w, len, acc);
        pos += len;
        // Checked after every block: the idle shortcut's Soft speed memory shows up in the
        // output only once gain reduction starts.
        if (!sameState(rig.engine.channel(0), model.ch[0]) ||
            !sameState(rig.engine.channel(1), model.ch[1])) {
            ADD_FAILURE() << "gain-computer state differs after sample " << pos;
            break;
        }
    }
    expectSameBits(out[0], want[0], "left output");
    expectSameBits(out[1], want[1], "right output");
    const MeterShared& m = rig.engine.meters();
    EXPECT_EQ(bitsOf(m.minGain.load()), bitsOf(model.minGain));
    EXPECT_EQ(bitsOf(m.peakOut.load()), bitsOf(model.peakOut));
    EXPECT_EQ(m.clipHold.load(), model.clipHold);
    EXPECT_EQ(m.singleChannel.load(), model.singleChannel);
}

using Combo = std::tuple<int /*switch bits*/, int /*channel mode*/, float /*rate*/>;
class ReferenceMatch : public ::testing::TestWithParam<Combo> {};

TEST_P(ReferenceMatch, EveryOutputBitMatches) {
    const int sw = std::get<0>(GetParam()), mode = std::get<1>(GetParam());
    const float rate = std::get<2>(GetParam());
    const uint32_t seed = static_cast<uint32_t>(sw * 131 + mode * 17 + static_cast<int>(rate));
    Noise rng(seed);
    float p[kNumParams];
    p[kInput] = 0.45f * rng.uniform();
    p[kPressure] = rng.uniform();
    p[kRelease1] = rng.uniform();
    p[kRelease2] = rng.uniform();
    p[kOutput] = 0.3f + 0.4f * rng.uniform();
    p[kLimit] = (sw & 1) ? 1.0f : 0.0f;
    p[kLowPunch] = (sw & 2) ? 1.0f : 0.0f;
    p[kStereoLink] = (sw & 4) ? 1.0f : 0.0f;
    p[kLinkQuality] = (sw & 8) ? 1.0f : 0.0f;
    p[kAutoChannel] = (mode == AutoStereo || mode == AutoMono || mode == AutoPins) ? 1.0f : 0.0f;
    p[kForceChannel] = mode == ForceLeft ? 0.5f : mode == ForceRight ? 1.0f : 0.0f;
    forEachIsa([&] { compare(seed, rate, p, mode, 1.0f, [](Noise&, Rig&, ref::Engine&) {}); });
}

INSTANTIATE_TEST_SUITE_P(AllSwitches, ReferenceMatch,
                         ::testing::Combine(::testing::Range(0, 16), ::testing::Range(0, int{kModes}),
                                            ::testing::Values(22050.0f, 44100.0f, 48000.0f,
                                                              88200.0f, 96000.0f, 176400.0f,
                                                              192000.0f)));

// Material that never reaches full scale keeps every gain computer on its idle shortcut.
TEST(ReferenceMatchIdle, QuietMaterialInEverySwitchSetting) {
    for (int sw = 0; sw < 16; ++sw) {
        float p[kNumParams];
        std::copy(kDefaults, kDefaults + kNumParams, p);
        p[kLimit] = (sw & 1) ? 1.0f : 0.0f;
        p[kLowPunch] = (sw & 2) ? 1.0f : 0.0f;
        p[kStereoLink] = (sw & 4) ? 1.0f : 0.0f;
        p[kLinkQuality] = (sw & 8) ? 1.0f : 0.0f;
        forEachIsa([&] {
            compare(900u + sw, 44100.0f, p, AutoStereo, 0.39f, [](Noise&, Rig&, ref::Engine&) {});
        });
    }
}

// Switches and continuous parameters change between blocks, including values outside 0..1 that
// the effect stores unvalidated; idle channel records must freeze and resume exactly.
TEST(ReferenceMatchChanges, SettingsChangingBetweenBlocks) {
    const float odd[] = {0.0f, 1.0f, 0.999f, 1.5f, -1.0f, 0.5f, 2.0f};
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) forEachIsa([&] {
        compare(4242u + static_cast<uint32_t>(rate), rate, kDefaults, AutoStereo, 1.0f,
                [&](Noise& rng, Rig& rig, ref::Engine& model) {
                    auto both = [&](int i, float v) { rig.set(i, v), model.params[i] = v; };
                    for (int i = kLimit; i <= kForceChannel; ++i)
                        if (rng.below(4) == 0) both(i, odd[rng.below(7)]);
                    if (rng.below(4) == 0) both(kInput, 0.5f * rng.uniform());
                    if (rng.below(4) == 0) both(kRelease1, rng.uniform());
                    if (rng.below(4) == 0) both(kPressure, rng.uniform());
                });
    });
}

// Finite but absurd levels (up to the float limit) must leave the state usable: the envelope
// stays inside the float range and the allpass state finite.
TEST(ReferenceMatchExtremes, AbsurdLevelsDoNotPoisonTheState) {
    for (int sw = 0; sw < 4; ++sw) {
        float p[kNumParams];
        std::copy(kDefaults, kDefaults + kNumParams, p);
        p[kPressure] = 1.0f; // the applied gain is the envelope, which then releases quickly
        p[kRelease1] = 0.0f;
        p[kLimit] = (sw & 1) ? 1.0f : 0.0f;
        p[kLowPunch] = (sw & 2) ? 1.0f : 0.0f;
        Rig rig;
        ref::Engine model;
        model.resume();
        for (int i = 0; i < kNumParams; ++i) rig.set(i, p[i]), model.params[i] = p[i];
        const int n = 40000;
        std::vector<float> x = material(90u + sw, n);
        // Deep reduction first, then a jump to the float limit: one attack step would take the
        // envelope below the smallest float.
        for (int i = 2000; i < 2500; ++i) x[i] = 1e6f;
        for (int i = 2500; i < 2600; ++i) x[i] = i % 2 ? 3.4e38f : -3.4e38f;
        std::vector<float> out(x.size()), want(x.size()), outR(x.size()), wantR(x.size());
        const float* in[2] = {x.data(), x.data()};
        float* o[2] = {out.data(), outR.data()};
        float* w[2] = {want.data(), wantR.data()};
        rig.engine.process(in, o, n, false, rig.pins);
        model.process(in, w, n, false);
        expectSameBits(out, want, "output");
        EXPECT_TRUE(sameState(rig.engine.channel(0), model.ch[0]));
        const float g = rig.engine.channel(0).gain;
        EXPECT_TRUE(g > 0.0f && g <= 1.0f) << g;
        float tail = 0.0f; // the signal comes back, the allpass included
        for (size_t i = 2600; i < out.size(); ++i) {
            ASSERT_TRUE(std::isfinite(out[i])) << i;
            if (i > out.size() - 5000) tail = std::max(tail, std::fabs(out[i]));
        }
        EXPECT_GT(tail, 0.01f);
    }
}

// Ten seconds of the default program, driven hard, against the reference; and the same material
// in one block against random splits, which must not change a single bit.
TEST(ReferenceMatchLong, TenSecondsAndBlockSplitInvariance) {
    float p[kNumParams];
    std::copy(kDefaults, kDefaults + kNumParams, p);
    p[kInput] = 0.3f;
    compare(77u, 44100.0f, p, AutoStereo, 1.0f, [](Noise&, Rig&, ref::Engine&) {}, 441000);

    const int n = 100000;
    const std::vector<float> l = material(78, n, 2.0f), r = material(79, n, 2.0f);
    std::vector<float> whole[2] = {std::vector<float>(n), std::vector<float>(n)};
    std::vector<float> split[2] = {std::vector<float>(n), std::vector<float>(n)};
    Rig one(48000.0f, n), pieces(48000.0f, 300);
    one.run(l.data(), r.data(), whole[0].data(), whole[1].data(), n);
    Noise rng(80);
    for (int pos = 0; pos < n;) {
        const int len = std::min(n - pos, rng.below(1200));
        pieces.run(l.data() + pos, r.data() + pos, split[0].data() + pos, split[1].data() + pos, len);
        pos += len;
    }
    expectSameBits(split[0], whole[0], "left output");
    expectSameBits(split[1], whole[1], "right output");
}

} // namespace
} // namespace qx::test
