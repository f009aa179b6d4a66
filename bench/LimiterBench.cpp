// LimiterEngine::process as a host's processReplacing calls it: stereo at 44.1 kHz in blocks of
// 512 frames, on material that drives 6 to 12 dB of gain reduction and on material that never
// reaches full scale, next to a plain copy of the same buffers (the memory-bound floor).
//
// Counters: ns_per_frame (per stereo frame), x_realtime (seconds of audio per second of work),
// gr_dB (mean over blocks of the deepest gain reduction in the block, from the engine's meter)
// with its smallest and largest value over the blocks.

#include "dsp/KernelEntry.h"
#include "dsp/LimiterEngine.h"
#include "core/ParamTable.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using namespace qx;

constexpr int kBlock = 512;
constexpr int kFrames = 44100 * 4;
constexpr double kRate = 44100.0;

struct AllConnected final : PinQuery {
    bool inputConnected(int) override { return true; }
    bool outputConnected(int) override { return true; }
};

// Drum-like hits over a chord with a slow swell and a little noise, the two channels slightly
// different. `peak` sets the loudest sample.
std::vector<float> music(int channel, float peak) {
    std::vector<float> x(kFrames);
    uint32_t s = 12345u + static_cast<uint32_t>(channel) * 777u;
    double maxAbs = 0.0;
    std::vector<double> raw(kFrames);
    for (int i = 0; i < kFrames; ++i) {
        const double t = i / kRate;
        s ^= s << 13, s ^= s >> 17, s ^= s << 5;
        const double noise = (static_cast<double>(s >> 8) / 8388608.0) - 1.0;
        const double beat = std::fmod(t, 0.5);
        const double kick = std::exp(-beat * 18.0) * std::sin(2 * M_PI * (55.0 + 90.0 * std::exp(-beat * 30.0)) * beat);
        const double hat = std::fmod(t + 0.25, 0.5) < 0.03 ? 0.25 * noise : 0.0;
        const double swell = 0.85 + 0.15 * std::sin(2 * M_PI * 0.3 * t + channel);
        const double chord = swell * (0.30 * std::sin(2 * M_PI * 220.0 * t) + 0.22 * std::sin(2 * M_PI * 277.2 * t + channel) +
                                      0.18 * std::sin(2 * M_PI * 329.6 * t) + 0.05 * noise);
        raw[i] = 0.4 * kick + hat + chord;
        maxAbs = std::max(maxAbs, std::fabs(raw[i]));
    }
    for (int i = 0; i < kFrames; ++i) x[i] = static_cast<float>(raw[i] * peak / maxAbs);
    return x;
}

struct Setup {
    float limit, link, quality, punch;
};

void runEngine(benchmark::State& state, const Setup& setup, float peak, double rate = kRate) {
    const std::vector<float> l = music(0, peak), r = music(1, peak);
    std::vector<float> ol(kBlock), orr(kBlock);
    ParamArray params{};
    for (int i = 0; i < kNumParams; ++i) params[i].store(kParamTable[i].defaultValue);
    params[kLimit].store(setup.limit);
    params[kStereoLink].store(setup.link);
    params[kLinkQuality].store(setup.quality);
    params[kLowPunch].store(setup.punch);
    LimiterEngine engine(params);
    engine.recalculate();
    engine.setBlockSizeAndSampleRate(kBlock, static_cast<float>(rate));
    engine.resume();
    AllConnected pins;

    int pos = 0;
    double grSum = 0.0, grLow = 1e9, grHigh = 0.0;
    long blocks = 0;
    for (auto _ : state) {
        const float* in[2] = {l.data() + pos, r.data() + pos};
        float* out[2] = {ol.data(), orr.data()};
        engine.process(in, out, kBlock, false, pins);
        benchmark::DoNotOptimize(ol.data());
        benchmark::ClobberMemory();
        const float g = engine.meters().minGain.exchange(1.0f, std::memory_order_relaxed);
        const double gr = -20.0 * std::log10(g);
        grSum += gr;
        grLow = std::min(grLow, gr);
        grHigh = std::max(grHigh, gr);
        ++blocks;
        pos += kBlock;
        if (pos + kBlock > kFrames) pos = 0;
    }
    const double frames = static_cast<double>(state.iterations()) * kBlock;
    state.counters["ns_per_frame"] = benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] = benchmark::Counter(frames / rate, benchmark::Counter::kIsRate);
    state.counters["gr_dB"] = blocks ? grSum / static_cast<double>(blocks) : 0.0;
    state.counters["gr_dB_min"] = blocks ? grLow : 0.0;
    state.counters["gr_dB_max"] = grHigh;
}

// Peak 6 (15.6 dB over full scale): the deepest reduction in every block lies between 6 and
// 12 dB (gr_dB_min and gr_dB_max).
constexpr float kLoud = 6.0f;
// Peak 0.7: never reaches full scale.
constexpr float kQuiet = 0.7f;

void BM_Limiter(benchmark::State& state) {
    const Setup s{state.range(0) ? 1.0f : 0.0f, state.range(1) ? 1.0f : 0.0f,
                  state.range(1) == 2 ? 1.0f : 0.0f, state.range(2) ? 1.0f : 0.0f};
    runEngine(state, s, kLoud);
}
// Limit (0 Hard, 1 Soft) x link (0 off, 1 Normal, 2 HQ) x Low Punch.
BENCHMARK(BM_Limiter)
    ->ArgNames({"soft", "link", "punch"})
    ->ArgsProduct({{0, 1}, {0, 1, 2}, {0}})
    ->Args({1, 2, 1});

void BM_LimiterQuiet(benchmark::State& state) {
    const Setup s{state.range(0) ? 1.0f : 0.0f, state.range(1) ? 1.0f : 0.0f,
                  state.range(1) == 2 ? 1.0f : 0.0f, state.range(2) ? 1.0f : 0.0f};
    runEngine(state, s, kQuiet);
}
// The default program on the plain SSE2 kernel, for processors without AVX2 or AVX-512.
void BM_LimiterBaselineKernel(benchmark::State& state) {
    kernel::useIsa(kernel::Isa::Baseline);
    runEngine(state, {1.0f, 1.0f, 1.0f, 0.0f}, state.range(0) ? kLoud : kQuiet);
    kernel::useIsa(kernel::bestIsa());
}
BENCHMARK(BM_LimiterBaselineKernel)->ArgName("loud")->Arg(1)->Arg(0);

// The default program at other host rates: the control law stays on a 44.1 kHz grid, plus a
// step for each level rising past full scale between grid steps.
void BM_LimiterAtRate(benchmark::State& state) {
    runEngine(state, {1.0f, 1.0f, 1.0f, 0.0f}, state.range(1) ? kLoud : kQuiet,
              static_cast<double>(state.range(0)));
}
BENCHMARK(BM_LimiterAtRate)
    ->ArgNames({"rate", "loud"})
    ->ArgsProduct({{48000, 96000, 192000}, {1, 0}});

BENCHMARK(BM_LimiterQuiet)
    ->ArgNames({"soft", "link", "punch"})
    ->ArgsProduct({{0, 1}, {0, 1, 2}, {0}})
    ->Args({1, 2, 1});

// The floor: read both inputs and write both outputs, nothing else.
void BM_CopyFloor(benchmark::State& state) {
    const std::vector<float> l = music(0, kLoud), r = music(1, kLoud);
    std::vector<float> ol(kBlock), orr(kBlock);
    int pos = 0;
    for (auto _ : state) {
        for (int i = 0; i < kBlock; ++i) {
            ol[i] = l[pos + i];
            orr[i] = r[pos + i];
        }
        benchmark::DoNotOptimize(ol.data());
        benchmark::DoNotOptimize(orr.data());
        benchmark::ClobberMemory();
        pos += kBlock;
        if (pos + kBlock > kFrames) pos = 0;
    }
    const double frames = static_cast<double>(state.iterations()) * kBlock;
    state.counters["ns_per_frame"] = benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] = benchmark::Counter(frames / kRate, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CopyFloor);

} // namespace

int main(int argc, char** argv) {
    const char* names[] = {"baseline (SSE2)", "AVX2", "AVX-512VL"};
    benchmark::AddCustomContext("gain_kernel", names[static_cast<int>(kernel::bestIsa())]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
