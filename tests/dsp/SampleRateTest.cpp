// The limiter across host rates. Above 44.1 kHz the control law keeps a 44.1 kHz grid, yet a
// rising level above full scale must be caught on its own sample: onsets come out as loud as at
// 44.1 kHz, at every rate and setting. At 44.1 kHz and below every sample is a control step, and
// the output is what it always was (recorded answers).

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <tuple>

namespace qx::test {
namespace {

constexpr int kBursts = 12;

// Twelve bursts after silence, alternately a 100 Hz square wave and white noise at full scale,
// the right channel at 0.6 of the left (so the link matters). Each onset comes one sample later
// against the rate's control grid than the one before, so some land between grid steps at every
// rate. Plain arithmetic only: the same samples on every build.
struct Onsets {
    std::vector<float> l, r;
    int start[kBursts];
    int length;
};

Onsets onsets(double rate) {
    const int gap = static_cast<int>(rate * 0.3), burst = static_cast<int>(rate * 0.05);
    const int half = static_cast<int>(rate / 200.0);
    Onsets o;
    o.length = burst;
    o.l.assign(static_cast<size_t>(kBursts * (gap + burst + 1)), 0.0f);
    o.r = o.l;
    Noise rng(31);
    for (int k = 0; k < kBursts; ++k) {
        o.start[k] = k * (gap + burst) + gap + k;
        for (int i = 0; i < burst; ++i) {
            const float square = (i / half) % 2 ? -1.0f : 1.0f;
            const float x = k % 2 ? rng.bipolar() : square;
            o.l[o.start[k] + i] = x;
            o.r[o.start[k] + i] = 0.6f * x;
        }
    }
    return o;
}

struct Render {
    std::vector<float> l, r;
};

// `sw` bit 0: Limit Soft; bit 1: Stereo Link on (HQ); bit 2: Low Punch on.
Render render(double rate, int sw, float input, const Onsets& o) {
    Rig rig(static_cast<float>(rate), 512);
    rig.set(kInput, input);
    rig.set(kLimit, (sw & 1) ? 1.0f : 0.0f);
    rig.set(kStereoLink, (sw & 2) ? 1.0f : 0.0f);
    rig.set(kLowPunch, (sw & 4) ? 1.0f : 0.0f);
    const int n = static_cast<int>(o.l.size());
    Render out{std::vector<float>(o.l.size()), std::vector<float>(o.l.size())};
    for (int pos = 0; pos < n; pos += 512) {
        const int len = std::min(512, n - pos);
        rig.run(o.l.data() + pos, o.r.data() + pos, out.l.data() + pos, out.r.data() + pos, len);
    }
    return out;
}

// Sample peak in dB over both channels of the loudest square burst [0] and the loudest noise
// burst [1]. A missed onset leaves at the full drive, tens of dB above either; the loudest of six
// noise bursts is a steadier figure than one burst's, whose samples differ from rate to rate.
std::array<double, 2> loudest(const Render& out, const Onsets& o) {
    float peak[2] = {0.0f, 0.0f};
    for (int k = 0; k < kBursts; ++k)
        for (int i = o.start[k]; i < o.start[k] + o.length; ++i)
            peak[k % 2] = std::max({peak[k % 2], std::fabs(out.l[i]), std::fabs(out.r[i])});
    return {20.0 * std::log10(peak[0]), 20.0 * std::log10(peak[1])};
}

using RateCase = std::tuple<double /*rate*/, int /*switch bits*/>;
class OnsetPeaks : public ::testing::TestWithParam<RateCase> {};

TEST_P(OnsetPeaks, WithinOneAndAHalfDecibelsOfThe44kFigure) {
    const double rate = std::get<0>(GetParam());
    const int sw = std::get<1>(GetParam());
    const Onsets here = onsets(rate), base = onsets(44100.0);
    for (float input : {1.0f, 0.5f}) {
        const std::array<double, 2> got = loudest(render(rate, sw, input, here), here);
        const std::array<double, 2> want = loudest(render(44100.0, sw, input, base), base);
        EXPECT_NEAR(got[0], want[0], 1.5) << "square bursts, Input " << input;
        EXPECT_NEAR(got[1], want[1], 1.5) << "noise bursts, Input " << input;
    }
}

INSTANTIATE_TEST_SUITE_P(RatesAndSwitches, OnsetPeaks,
                         ::testing::Combine(::testing::Values(22050.0, 48000.0, 88200.0, 96000.0,
                                                              176400.0, 192000.0),
                                            ::testing::Range(0, 8)));

// FNV-1a over the bits of every output sample.
uint64_t hashOf(const Render& out, uint64_t h) {
    for (const std::vector<float>* ch : {&out.l, &out.r}) {
        for (float f : *ch) {
            uint32_t u;
            std::memcpy(&u, &f, 4);
            for (int b = 0; b < 4; ++b) h = (h ^ ((u >> (8 * b)) & 0xffu)) * 0x100000001b3ull;
        }
    }
    return h;
}

// Where every sample is a control step nothing about onsets between steps applies. These hashes
// were recorded from the engine before onsets between grid steps became control steps; the
// output at 22.05 and 44.1 kHz, every switch above at Input 1 and 0.5, keeps every bit.
TEST(KnownOutput, UnchangedAtAndBelow44k) {
    const std::pair<double, uint64_t> known[] = {{22050.0, 0x64f8b566e972278full},
                                                 {44100.0, 0x9afb8af236b963a7ull}};
    for (const auto& [rate, want] : known) {
        const Onsets o = onsets(rate);
        uint64_t h = 0xcbf29ce484222325ull;
        for (int sw = 0; sw < 8; ++sw)
            for (float input : {1.0f, 0.5f}) h = hashOf(render(rate, sw, input, o), h);
        EXPECT_EQ(h, want) << std::hex << "rate " << rate << ": 0x" << h;
    }
}

} // namespace
} // namespace qx::test
