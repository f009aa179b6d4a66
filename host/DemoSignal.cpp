#include "host/DemoSignal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace qxhost {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Deterministic white noise in [-1, 1).
struct Noise {
    uint32_t state = 0x1234567u;
    double next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<int32_t>(state) / 2147483648.0;
    }
};

} // namespace

std::vector<float> makeDemoSignal(int sampleRate, double seconds) {
    const auto frames = static_cast<size_t>(std::max(1.0, seconds * sampleRate));
    std::vector<double> left(frames), right(frames);
    const double sr = sampleRate;
    const double beat = 0.5; // 120 beats per minute
    Noise noise;
    double hatState = 0.0;

    // Music bed: a slow chord of detuned harmonics and a bass line, different per side.
    const double chord[4] = {220.0, 277.18, 329.63, 440.0};
    const double bassNotes[4] = {55.0, 55.0, 73.42, 65.41};
    for (size_t i = 0; i < frames; ++i) {
        const double t = i / sr;
        double padL = 0.0, padR = 0.0;
        for (int k = 0; k < 4; ++k) {
            for (int h = 1; h <= 4; ++h) {
                const double a = 0.035 / h;
                padL += a * std::sin(2 * kPi * chord[k] * h * 1.0007 * t + k);
                padR += a * std::sin(2 * kPi * chord[k] * h * 0.9993 * t + 2 * k);
            }
        }
        const double swell = 0.6 + 0.4 * std::sin(2 * kPi * 0.25 * t);
        const double bass = 0.22 * std::sin(2 * kPi * bassNotes[static_cast<int>(t / (2 * beat)) % 4] * t);
        left[i] = swell * padL + bass;
        right[i] = swell * padR + bass;
    }

    // Drums: kick on every beat, snare on two and four, closed hat on eighths.
    for (size_t i = 0; i < frames; ++i) {
        const double t = i / sr;
        const double inBeat = std::fmod(t, beat);
        const int beatIndex = static_cast<int>(t / beat);
        const double kickPhase = 2 * kPi * (45.0 * inBeat + 75.0 * 0.03 * (1 - std::exp(-inBeat / 0.03)));
        const double kick = 0.9 * std::exp(-inBeat / 0.12) * std::sin(kickPhase);
        double snare = 0.0;
        if (beatIndex % 2 == 1)
            snare = std::exp(-inBeat / 0.07) * (0.45 * noise.next() + 0.3 * std::sin(2 * kPi * 190.0 * inBeat));
        const double inEighth = std::fmod(t, beat / 2);
        const double white = noise.next();
        hatState = 0.5 * hatState + 0.5 * white;
        const double hat = 0.25 * std::exp(-inEighth / 0.02) * (white - hatState);
        left[i] += kick + snare + 1.1 * hat;
        right[i] += kick + 0.9 * snare + 0.8 * hat;
    }

    double peak = 0.0;
    for (size_t i = 0; i < frames; ++i) peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    const double gain = peak > 0.0 ? 0.98 / peak : 1.0;
    std::vector<float> out(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        out[2 * i] = static_cast<float>(left[i] * gain);
        out[2 * i + 1] = static_cast<float>(right[i] * gain);
    }
    return out;
}

} // namespace qxhost
