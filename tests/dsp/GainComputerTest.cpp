// The gain computer's worked examples: a detector stepping from silence to 2.0, its Soft
// approach, the two-stage release, the control grids above and below 44.1 kHz (with the onset
// steps between grid steps), and the HQ combination.

#include "dsp/Coefficients.h"
#include "dsp/LimiterChannel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <tuple>
#include <vector>

namespace qx {
namespace {

GainComputerSettings settings(bool soft, float pressure, float r1 = 0.5f, float r2 = 0.5f,
                              float rate = 44100.0f) {
    const Coefficients c = computeCoefficients(0, pressure, r1, r2, 0.5f, rate);
    return {soft, c.releaseRate, c.pressureMix, c.releaseBrake, static_cast<float>(44100.0 / rate)};
}

struct Computer {
    LimiterChannel ch;
    std::vector<float> buffer;
    Computer() { ch.reset(); }
    std::vector<float> run(const std::vector<float>& detector, const GainComputerSettings& s) {
        buffer.assign(detector.size(), -1.0f);
        ch.gainBuffer = buffer.data();
        ch.computeGains(detector.data(), static_cast<int32_t>(detector.size()), s);
        return buffer;
    }
    float runConstant(float level, int n, const GainComputerSettings& s) {
        return run(std::vector<float>(static_cast<size_t>(n), level), s).back();
    }
};

TEST(GainComputer, StepToTwoSettlesAtOnceAndHolds) {
    Computer hard;
    const std::vector<float> g = hard.run(std::vector<float>(500, 2.0f), settings(false, 1.0f));
    EXPECT_NEAR(g[0], 0.9066f, 5e-5f);
    for (float v : g) ASSERT_EQ(v, g[0]); // v at its floor from then on: the attack stalls

    Computer squareRoot; // Pressure 0: the applied gain is the envelope's square root
    EXPECT_NEAR(squareRoot.run({2.0f}, settings(false, 0.0f))[0], 0.9522f, 5e-5f);
}

TEST(GainComputer, SoftFollowsTheFallGradually) {
    Computer soft;
    const std::vector<float> g = soft.run(std::vector<float>(2000, 2.0f), settings(true, 1.0f));
    const float expected[] = {0.9943f, 0.9890f, 0.9840f, 0.9794f, 0.9750f, 0.9710f};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(g[i], expected[i], 5e-5f) << "step " << i;
    EXPECT_NEAR(g.back(), 0.9066f, 5e-4f);
}

// Release1, Release2, control steps at 0.5, and the bounds on the gain after them.
using Release = std::tuple<float, float, int, float, float>;
class ReleaseAfterFall : public ::testing::TestWithParam<Release> {};

TEST_P(ReleaseAfterFall, RecoversAtTheSetSpeed) {
    const auto [r1, r2, steps, low, high] = GetParam();
    const GainComputerSettings s = settings(false, 1.0f, r1, r2);
    Computer c;
    c.runConstant(2.0f, 10, s);
    // The first release step finds the reference at 0, so the brake holds the gain.
    const float first = c.run({0.5f}, s)[0];
    if (r2 == 0.5f) {
        EXPECT_NEAR(first, 0.9066f, 5e-5f);
    }
    const float after = c.runConstant(0.5f, steps - 1, s);
    EXPECT_GE(after, low);
    EXPECT_LE(after, high);
}

INSTANTIATE_TEST_SUITE_P(
    Extremes, ReleaseAfterFall,
    ::testing::Values(Release{0.5f, 0.5f, 1000, 0.915f, 0.921f}, // about 0.918
                      Release{0.5f, 0.5f, 10000, 1.0f, 1.0f},
                      Release{0.0f, 0.0f, 1000, 1.0f, 1.0f},
                      Release{1.0f, 0.5f, 44100, 0.9f, 0.92f}));

TEST(GainComputer, At88kTheGridSkipsEveryOtherSampleButNoRisingOnset) {
    // Grid steps fall on samples 1, 3 and 5. Off the grid, sample 2 repeats the level and sample 6
    // falls: both keep the gain. Sample 4 rises from 0.5 to 4.0: a control step of its own, so
    // the grid step on sample 5 finds no change and holds.
    Computer c;
    const std::vector<float> g = c.run({0.0f, 2.0f, 2.0f, 0.5f, 4.0f, 4.0f, 0.5f},
                                       settings(false, 1.0f, 0.5f, 0.5f, 88200.0f));
    EXPECT_EQ(g[0], 1.0f);
    for (int i = 1; i < 4; ++i) EXPECT_NEAR(g[i], 0.9066f, 5e-5f);
    EXPECT_EQ(g[1], g[2]);
    EXPECT_NEAR(g[4], 0.4662f, 5e-5f);
    EXPECT_NEAR(g[5], g[4], 1e-6f);
    EXPECT_EQ(g[6], g[5]);
    EXPECT_EQ(c.ch.phase, 0.5f) << "the onset step leaves the grid where it was";
}

TEST(GainComputer, EverySampleIsAStepBelow44k) {
    std::vector<float> d(3000);
    for (size_t i = 0; i < d.size(); ++i) d[i] = (i / 300 % 2) ? 3.0f * std::sin(0.01f * i) : 0.2f;
    Computer at44, at22;
    const std::vector<float> a = at44.run(d, settings(true, 0.7f));
    const std::vector<float> b = at22.run(d, settings(true, 0.7f, 0.5f, 0.5f, 22050.0f));
    EXPECT_EQ(a, b);
}

TEST(GainComputer, LevelsUpToFullScaleLeaveTheGainAtExactlyOne) {
    for (bool soft : {false, true}) {
        std::vector<float> d(5000, 0.0f);
        for (size_t i = 2000; i < d.size(); ++i) d[i] = std::sin(0.003f * i) * (i % 7 ? 1.0f : -1.0f);
        Computer c;
        for (float g : c.run(d, settings(soft, 0.7f))) ASSERT_EQ(g, 1.0f);
    }
}

// No guard in the per-sample path beyond the envelope's floor: the coefficient ranges are what
// keep the state finite. Every corner of them, at three rates, with levels from silence up to
// the float limit, jumping both ways.
TEST(GainComputer, EveryCornerOfTheCoefficientRangesStaysFinite) {
    std::vector<float> detector;
    for (float level : {0.0f, 0.5f, 3.0f, 1e6f, 3.4e38f, 1e-30f, 3.4e38f, 2.0f, 0.0f})
        for (int i = 0; i < 3000; ++i) detector.push_back(i % 3 ? level : -0.5f * level);
    for (int corner = 0; corner < 16; ++corner) {
        for (float rate : {22050.0f, 44100.0f, 96000.0f}) {
            const auto bit = [&](int b) { return (corner >> b) & 1 ? 1.0f : 0.0f; };
            Computer c;
            const std::vector<float> g = c.run(detector, settings(bit(0) != 0, bit(1), bit(2), bit(3), rate));
            for (float v : g) ASSERT_TRUE(v > 0.0f && v <= 1.0f) << "corner " << corner << ": " << v;
            ASSERT_TRUE(c.ch.finite()) << "corner " << corner;
        }
    }
}

TEST(CombineGains, BothTakeTheSmallerGain) {
    float l[] = {0.5f, 0.8f, 0.7f, 1.0f}, r[] = {0.8f, 0.5f, 0.7f, 0.0003f};
    LimiterChannel::combineGains(l, r, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(l[i], r[i]);
    EXPECT_EQ(l[0], 0.5f);
    EXPECT_EQ(l[1], 0.5f);
    EXPECT_EQ(l[2], 0.7f);
    EXPECT_EQ(l[3], 0.0003f);

    // The HQ link in the engine relies on the ratio form being exactly min() of the two.
    uint32_t s = 99;
    auto next = [&] { // positive floats over many octaves
        s = s * 1664525u + 1013904223u;
        return std::ldexp(1.0f + static_cast<float>(s >> 9) * 0x1p-23f, -static_cast<int>(s % 40));
    };
    for (int i = 0; i < 100000; ++i) {
        float a = next(), b = next();
        const float m = std::min(a, b);
        LimiterChannel::combineGains(&a, &b, 1);
        ASSERT_EQ(a, m);
        ASSERT_EQ(b, m);
    }
}

} // namespace
} // namespace qx
