// Loudness and true peak against the documented test signals of EBU Tech 3341 / libebur128.
#include "host/LoudnessMeter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// A 20 ms fade-in: a sine that starts on a step rings in any oversampling filter.
std::vector<float> stereoSine(int rate, double hz, double amplitude, double seconds, double phase = 0.0) {
    const auto frames = static_cast<size_t>(rate * seconds);
    const double fade = 0.02 * rate;
    std::vector<float> out(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const double ramp = i < fade ? 0.5 - 0.5 * std::cos(kPi * i / fade) : 1.0;
        out[2 * i] = out[2 * i + 1] =
            static_cast<float>(ramp * amplitude * std::sin(2 * kPi * hz * i / rate + phase));
    }
    return out;
}

qxhost::Loudness measure(const std::vector<float>& signal, int rate) {
    qxhost::LoudnessMeter meter(2, rate);
    // In host-sized pieces, as the host feeds it.
    const int64_t frames = static_cast<int64_t>(signal.size() / 2);
    for (int64_t pos = 0; pos < frames; pos += 512)
        meter.add(signal.data() + 2 * pos, std::min<int64_t>(512, frames - pos));
    return meter.result();
}

} // namespace

TEST(Loudness, SineAtMinus23dBFSReadsMinus23Lufs) {
    if (!qxhost::LoudnessMeter::available()) GTEST_SKIP() << "no loudness meter in this build";
    for (int rate : {44100, 48000}) {
        const auto l = measure(stereoSine(rate, 1000.0, std::pow(10.0, -23.0 / 20.0), 20.0), rate);
        ASSERT_TRUE(l.available);
        EXPECT_NEAR(l.integrated, -23.0, 0.1) << rate;
        EXPECT_NEAR(l.range, 0.0, 0.1);
        EXPECT_NEAR(l.samplePeak, -23.0, 0.01);
    }
}

TEST(Loudness, TruePeakOf997HzSineSeesBetweenTheSamples) {
    if (!qxhost::LoudnessMeter::available()) GTEST_SKIP() << "no loudness meter in this build";
    // 997 Hz at 48 kHz, -6 dBFS, in several phases: -6.0 dBTP.
    for (double degrees : {0.0, 45.0, 60.0, 67.5, 88.2}) {
        const auto l = measure(stereoSine(48000, 997.0, 0.5, 5.0, degrees * kPi / 180.0), 48000);
        EXPECT_NEAR(l.truePeak, -6.02, 0.2) << degrees;
        EXPECT_LE(l.samplePeak, l.truePeak + 0.01);
    }
    // A quarter of the rate at 45 degrees: every sample 3 dB under the crest, the crest at 0 dBTP.
    const auto between = measure(stereoSine(48000, 12000.0, 1.0, 2.0, kPi / 4), 48000);
    EXPECT_NEAR(between.samplePeak, -3.01, 0.05);
    EXPECT_NEAR(between.truePeak, 0.0, 0.2);
    EXPECT_TRUE(std::isinf(measure(std::vector<float>(96000, 0.0f), 48000).integrated));
}
