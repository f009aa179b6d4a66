#pragma once
// Shared helpers for the signal-path tests: a host stand-in for the pin queries, an engine with
// its parameter array, and reproducible test material.

#include "dsp/LimiterEngine.h"
#include "core/ParamTable.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace qx::test {

struct Pins final : PinQuery {
    bool in[2] = {true, true};
    bool out[2] = {true, true};
    int queries = 0;
    bool inputConnected(int pin) override { return ++queries, in[pin & 1]; }
    bool outputConnected(int pin) override { return ++queries, out[pin & 1]; }
};

// The default program, as the parameter table gives it.
struct Defaults {
    float v[kNumParams];
    constexpr Defaults() : v{} {
        for (int i = 0; i < kNumParams; ++i) v[i] = kParamTable[i].defaultValue;
    }
};
constexpr Defaults kDefaultValues{};
constexpr const float* kDefaults = kDefaultValues.v;

struct Rig {
    ParamArray params{};
    LimiterEngine engine{params};
    Pins pins;

    explicit Rig(float rate = 44100.0f, int32_t block = 1024) {
        for (int i = 0; i < kNumParams; ++i) params[i].store(kDefaults[i]);
        engine.recalculate();
        engine.setBlockSizeAndSampleRate(block, rate);
        engine.resume();
    }
    void set(int index, float value) {
        params[index].store(value);
        engine.recalculate();
    }
    void run(const float* l, const float* r, float* ol, float* orr, int32_t n, bool acc = false) {
        const float* in[2] = {l, r};
        float* out[2] = {ol, orr};
        engine.process(in, out, n, acc, pins);
    }
};

// Small deterministic generator (xorshift), independent of the standard library's engines.
struct Noise {
    uint32_t s;
    explicit Noise(uint32_t seed) : s(seed * 2654435761u + 1u) {}
    uint32_t next() { return s ^= s << 13, s ^= s >> 17, s ^= s << 5; }
    float uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); } // [0,1)
    float bipolar() { return 2.0f * uniform() - 1.0f; }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }
};

// Music-like material: tones, drum-like decaying bursts, noise, silence, steps and quiet
// passages, at levels from far below to far above full scale.
inline std::vector<float> material(uint32_t seed, int n, float scale = 1.0f) {
    Noise rng(seed);
    std::vector<float> x(static_cast<size_t>(n));
    int i = 0;
    while (i < n) {
        const int len = 200 + rng.below(3000);
        const int kind = rng.below(6);
        const float amp = scale * (kind == 5 ? 0.0f : 0.02f + 2.5f * rng.uniform() * rng.uniform());
        const float f = 20.0f + 8000.0f * rng.uniform() * rng.uniform();
        for (int k = 0; k < len && i < n; ++k, ++i) {
            const float t = static_cast<float>(k);
            switch (kind) {
            case 0: x[i] = amp * std::sin(6.2831853f * f * t / 44100.0f); break;
            case 1: x[i] = amp * std::exp(-t / 400.0f) * rng.bipolar(); break;
            case 2: x[i] = amp * rng.bipolar(); break;
            case 3: x[i] = (k < len / 2 ? amp : -0.5f * amp); break;
            case 4: x[i] = amp * (0.6f * std::sin(0.01f * t) + 0.4f * std::sin(0.37f * t)); break;
            default: x[i] = 0.0f; break;
            }
        }
    }
    return x;
}

} // namespace qx::test
