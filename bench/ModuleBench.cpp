// The two modules as hosts call them, on the same material and settings: the VST 2 module's
// processReplacing through HostSession, and the LV2 module's run through lilv, both in blocks of
// 512, 32 and 16 frames at 44.1 kHz. The LV2 wrapper adds the control-port scan, the meter ring and the
// report to every block; the two figures should stay within a few percent.

#include "plugin/AEffect.h"
#include "tests/lv2/Lv2TestHost.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace qx;
using namespace qx::test;

constexpr int kFrames = 44100 * 4;

const Stereo& material() {
    static const Stereo m = testMaterial(kFrames, 3);
    return m;
}

void setCounters(benchmark::State& state) {
    const double frames = static_cast<double>(state.iterations()) * double(state.range(0));
    state.counters["ns_per_frame"] =
        benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

float setting(int i) { return i == kInput ? 0.45f : i == kPressure ? 0.9f : -1.0f; }

void BM_Vst2ProcessReplacing(benchmark::State& state) {
    const int kBlock = int(state.range(0));
    qxhost::HostSession host;
    if (!host.load(QX_MODULE_PATH)) return state.SkipWithError("VST 2 module not loaded");
    AEffect* e = host.create();
    if (e == nullptr) return state.SkipWithError("no effect");
    for (int i : {kInput, kPressure}) e->setParameter(e, i, setting(i));
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.dispatch(effSetBlockSize, 0, kBlock);
    host.dispatch(effMainsChanged, 0, 1);
    std::vector<float> l(kBlock), r(kBlock);
    size_t at = 0;
    for (auto _ : state) {
        float* in[2] = {const_cast<float*>(material().l.data() + at),
                        const_cast<float*>(material().r.data() + at)};
        float* out[2] = {l.data(), r.data()};
        e->processReplacing(e, in, out, kBlock);
        benchmark::DoNotOptimize(l.data());
        at = at + 2 * kBlock > static_cast<size_t>(kFrames) ? 0 : at + kBlock;
    }
    setCounters(state);
}
BENCHMARK(BM_Vst2ProcessReplacing)->ArgName("block")->Arg(512)->Arg(32)->Arg(16);

void BM_Lv2Run(benchmark::State& state) {
    const int kBlock = int(state.range(0));
    Lv2TestHost host;
    if (host.plugin() == nullptr) return state.SkipWithError("LV2 bundle not found");
    Lv2Instance lv2(host, 44100.0, kBlock);
    for (int i : {kInput, kPressure}) lv2.controls[i] = setting(i);
    // The notify port connected, as a host with the UI open does.
    std::vector<uint64_t> notify(512);
    lv2.connect(lv2::kPortNotify, notify.data());
    lilv_instance_activate(lv2.instance);
    std::vector<float> l(kBlock), r(kBlock);
    size_t at = 0;
    for (auto _ : state) {
        reinterpret_cast<LV2_Atom*>(notify.data())->size = 4096 - sizeof(LV2_Atom);
        lv2.run(material().l.data() + at, material().r.data() + at, l.data(), r.data(), kBlock);
        benchmark::DoNotOptimize(l.data());
        at = at + 2 * kBlock > static_cast<size_t>(kFrames) ? 0 : at + kBlock;
    }
    setCounters(state);
}
BENCHMARK(BM_Lv2Run)->ArgName("block")->Arg(512)->Arg(32)->Arg(16);

} // namespace

BENCHMARK_MAIN();
