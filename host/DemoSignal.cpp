#include "host/DemoSignal.h"

#include <algorithm>
#include <cmath>

namespace qxhost {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Deterministic white noise in [-1, 1).
double nextNoise(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int32_t>(state) / 2147483648.0;
}

} // namespace

// Music bed: a slow chord of detuned harmonics and a bass line, different per side. Drums: kick
// on every beat, snare on two and four, closed hat on eighths, at 120 beats per minute.
void DemoSignal::Generator::next(double& left, double& right) {
    static const double chord[4] = {220.0, 277.18, 329.63, 440.0};
    static const double bassNotes[4] = {55.0, 55.0, 73.42, 65.41};
    const double beat = 0.5;
    const double t = i++ / sr;
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
    left = swell * padL + bass;
    right = swell * padR + bass;

    const double inBeat = std::fmod(t, beat);
    const int beatIndex = static_cast<int>(t / beat);
    const double kickPhase = 2 * kPi * (45.0 * inBeat + 75.0 * 0.03 * (1 - std::exp(-inBeat / 0.03)));
    const double kick = 0.9 * std::exp(-inBeat / 0.12) * std::sin(kickPhase);
    double snare = 0.0;
    if (beatIndex % 2 == 1)
        snare = std::exp(-inBeat / 0.07) * (0.45 * nextNoise(noise) + 0.3 * std::sin(2 * kPi * 190.0 * inBeat));
    const double inEighth = std::fmod(t, beat / 2);
    const double white = nextNoise(noise);
    hatState = 0.5 * hatState + 0.5 * white;
    const double hat = 0.25 * std::exp(-inEighth / 0.02) * (white - hatState);
    left += kick + snare + 1.1 * hat;
    right += kick + 0.9 * snare + 0.8 * hat;
}

DemoSignal::DemoSignal(int sampleRate, double seconds)
    : frames_(static_cast<size_t>(std::max(1.0, seconds * sampleRate))),
      generator_(sampleRate) {
    Generator pass(sampleRate);
    double peak = 0.0, left, right;
    for (size_t n = 0; n < frames_; ++n) {
        pass.next(left, right);
        peak = std::max({peak, std::fabs(left), std::fabs(right)});
    }
    gain_ = peak > 0.0 ? 0.98 / peak : 1.0;
}

size_t DemoSignal::read(float* interleaved, size_t count) {
    count = std::min(count, frames_ - generator_.i);
    double left, right;
    for (size_t n = 0; n < count; ++n) {
        generator_.next(left, right);
        interleaved[2 * n] = static_cast<float>(left * gain_);
        interleaved[2 * n + 1] = static_cast<float>(right * gain_);
    }
    return count;
}

std::vector<float> makeDemoSignal(int sampleRate, double seconds) {
    DemoSignal signal(sampleRate, seconds);
    std::vector<float> out(2 * signal.frames());
    signal.read(out.data(), signal.frames());
    return out;
}

} // namespace qxhost
