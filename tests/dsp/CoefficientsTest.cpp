// The coefficient table: each coefficient at parameter values 0, 0.5 and 1, the Low Punch
// coefficient at three sample rates, and the output compensation's corners.

#include "dsp/Coefficients.h"

#include <gtest/gtest.h>

#include <tuple>

namespace qx {
namespace {

// Parameter value, and the expected inputGain, pressureMix, releaseBrake, releaseRate.
using Row = std::tuple<float, double, double, double, double>;
class CoefficientTable : public ::testing::TestWithParam<Row> {};

TEST_P(CoefficientTable, MatchesAtZeroHalfAndOne) {
    const auto [p, inputGain, pressureMix, releaseBrake, releaseRate] = GetParam();
    const Coefficients c = computeCoefficients(p, p, p, p, 0.5f, 44100.0f);
    EXPECT_NEAR(c.inputGain, inputGain, 1e-6 * inputGain);
    EXPECT_NEAR(c.pressureMix, pressureMix, 1e-7);
    EXPECT_NEAR(c.releaseBrake, releaseBrake, 1e-6 * releaseBrake);
    EXPECT_NEAR(c.releaseRate, releaseRate, 1e-3 * releaseRate);
}

INSTANTIATE_TEST_SUITE_P(Coefficients, CoefficientTable,
                         ::testing::Values(Row{0.0f, 1.0, 1.0, 400.0, 0.03},
                                           Row{0.5f, 23.5, 0.125, 375350.0, 0.00753},
                                           Row{1.0f, 181.0, 0.0, 3000000.0, 0.00004}));

class PunchCoefficient : public ::testing::TestWithParam<std::tuple<float, double>> {};

TEST_P(PunchCoefficient, PassesNinetyDegreesAt200Hz) {
    const auto [rate, expected] = GetParam();
    EXPECT_NEAR(computeCoefficients(0, 0, 0, 0, 0.5f, rate).punchCoef, expected, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Rates, PunchCoefficient,
                         ::testing::Values(std::make_tuple(44100.0f, -0.971905),
                                           std::make_tuple(48000.0f, -0.974158),
                                           std::make_tuple(96000.0f, -0.986995)));

TEST(OutputGain, UnityAtHalfAndCompensatedByInput) {
    auto out = [](float in, float o) { return computeCoefficients(in, 0, 0, 0, o, 44100.0f).outputGain; };
    EXPECT_EQ(out(0.0f, 0.5f), 1.0f);
    EXPECT_EQ(out(0.0f, 1.0f), 2.0f);
    // From Input 0.27 on the compensation is exactly a quarter (3.7037036 * 0.27 reaches 1).
    EXPECT_EQ(out(0.27f, 0.5f), 0.25f);
    EXPECT_EQ(out(1.0f, 0.5f), 0.25f);
    EXPECT_GT(out(0.2f, 0.5f), 0.25f);
    // Output 0 attenuates by 80 dB or more but never mutes.
    EXPECT_EQ(out(0.0f, 0.0f), 0.0001f);
    EXPECT_EQ(out(0.5f, 0.0f), 0.0001f * 0.25f);
}

} // namespace
} // namespace qx
