// The VST 3 bundle's process next to the VST 2 module's processReplacing, both loaded from their
// binaries as hosts load them, on the same material and settings at 44.1 kHz, in blocks of 512,
// 32 and 16 frames, without and with one automation point per block (VST 2: a setParameter
// before the block; VST 3: a queue point in the middle of the block, which cuts it in two).
// The VST 2 module asks the host which pins are connected on every block; the VST 3 wrapper needs
// no host call, so at small blocks it should be at least as fast.

#include "dsp/ParamIndex.h"
#include "host/HostSession.h"
#include "plugin/AEffect.h"
#include "tests/vst3/Vst3TestHost.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kFrames = 44100 * 4;

struct Material {
    std::vector<float> l, r;
    Material() : l(kFrames), r(kFrames) {
        for (int i = 0; i < kFrames; ++i) {
            const double t = i / 44100.0;
            const double hit = std::exp(-std::fmod(t, 0.5) * 18.0);
            l[i] = float(0.9 * hit * std::sin(2 * M_PI * 80.0 * t) +
                         0.3 * std::sin(2 * M_PI * 220.0 * t));
            r[i] = float(0.8 * hit * std::sin(2 * M_PI * 81.0 * t) +
                         0.3 * std::sin(2 * M_PI * 277.0 * t));
        }
    }
};

const Material& material() {
    static const Material m;
    return m;
}

void setCounters(benchmark::State& state, int block) {
    const double frames = double(state.iterations()) * block;
    state.counters["ns_per_frame"] =
        benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Input alternates between two values, so every automated block recomputes the coefficients.
float automated(long block) {
    return block % 2 == 0 ? 0.45f : 0.46f;
}

void BM_Vst2ProcessReplacing(benchmark::State& state) {
    const int block = int(state.range(0));
    const bool automate = state.range(1) != 0;
    qxhost::HostSession host;
    if (!host.load(QX_MODULE_PATH)) return state.SkipWithError("VST 2 module not loaded");
    AEffect* e = host.create();
    if (e == nullptr) return state.SkipWithError("no effect");
    e->setParameter(e, qx::kInput, 0.45f);
    e->setParameter(e, qx::kPressure, 0.9f);
    host.dispatch(qx::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.dispatch(qx::effSetBlockSize, 0, block);
    host.dispatch(qx::effMainsChanged, 0, 1);
    std::vector<float> l(static_cast<size_t>(block)), r(static_cast<size_t>(block));
    size_t at = 0;
    long n = 0;
    for (auto _ : state) {
        if (automate) e->setParameter(e, qx::kInput, automated(n++));
        float* in[2] = {const_cast<float*>(material().l.data() + at),
                        const_cast<float*>(material().r.data() + at)};
        float* out[2] = {l.data(), r.data()};
        e->processReplacing(e, in, out, block);
        benchmark::DoNotOptimize(l.data());
        at = at + 2 * size_t(block) > size_t(kFrames) ? 0 : at + size_t(block);
    }
    setCounters(state, block);
}

void BM_Vst3Process(benchmark::State& state) {
    using namespace qx::vst3;
    using namespace qx::vst3::test;
    const int block = int(state.range(0));
    const bool automate = state.range(1) != 0;
    if (sharedModule().factory() == nullptr) return state.SkipWithError("VST 3 not loaded");
    Instance p;
    p.controller->setParamNormalized(qx::kInput, double(0.45f));
    p.controller->setParamNormalized(qx::kPressure, double(0.9f));
    p.start(44100.0, block);
    std::vector<float> l(static_cast<size_t>(block)), r(static_cast<size_t>(block));
    // One queue with one point, rewritten in place each block, as a host reuses its lists.
    ParamChanges changes;
    changes.add(qx::kInput, block / 2, 0.45);
    ParamChanges none;
    qxhost::StereoProcessData io;
    io.data.inputParameterChanges = automate ? &changes : &none;
    float* out[2] = {l.data(), r.data()};
    size_t at = 0;
    long n = 0;
    for (auto _ : state) {
        if (automate) changes.queues[0].points[0].second = automated(n++);
        const float* in[2] = {material().l.data() + at, material().r.data() + at};
        io.set(in, out, block);
        p.processor->process(io.data);
        benchmark::DoNotOptimize(l.data());
        at = at + 2 * size_t(block) > size_t(kFrames) ? 0 : at + size_t(block);
    }
    setCounters(state, block);
}

void blockSizes(benchmark::internal::Benchmark* b) {
    for (int automate : {0, 1})
        for (int block : {512, 32, 16})
            b->Args({block, automate});
    b->ArgNames({"block", "automation"});
}
BENCHMARK(BM_Vst2ProcessReplacing)->Apply(blockSizes);
BENCHMARK(BM_Vst3Process)->Apply(blockSizes);

} // namespace

BENCHMARK_MAIN();
