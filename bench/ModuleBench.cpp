// The modules as hosts call them, on the same material and settings: the VST 2 module's
// processReplacing through HostSession, the LV2 module's run through lilv and the CLAP module's
// process through ClapSession's host record, in blocks of 512, 32 and 16 frames at 44.1 kHz. The
// LV2 wrapper adds the control-port scan, the meter ring and the report to every block, the CLAP
// wrapper the event scan and the host's thread check; the figures should stay within a few
// percent. The "Write" variants change Input on every block: VST 2 with setParameter before the
// call, CLAP with one parameter event at the block's first frame, the same change in each.

#include "host/ClapSession.h"
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

// Input on every block alternates between these two, in each format.
float written(size_t block) { return block % 2 == 0 ? 0.45f : 0.5f; }

template <bool kWrite>
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
        if (kWrite) e->setParameter(e, kInput, written(at / kBlock));
        e->processReplacing(e, in, out, kBlock);
        benchmark::DoNotOptimize(l.data());
        at = at + 2 * kBlock > static_cast<size_t>(kFrames) ? 0 : at + kBlock;
    }
    setCounters(state);
}
BENCHMARK(BM_Vst2ProcessReplacing<false>)->Name("BM_Vst2ProcessReplacing")->ArgName("block")
    ->Arg(512)->Arg(32)->Arg(16);
BENCHMARK(BM_Vst2ProcessReplacing<true>)->Name("BM_Vst2ProcessReplacingWrite")->ArgName("block")
    ->Arg(512)->Arg(32)->Arg(16);

#if defined(QX_CLAP_MODULE)
template <bool kWrite>
void BM_ClapProcess(benchmark::State& state) {
    const int kBlock = int(state.range(0));
    qxhost::ClapSession host;
    if (!host.load(QX_CLAP_MODULE) || !host.create())
        return state.SkipWithError("CLAP module not loaded");
    for (int i : {kInput, kPressure}) host.setParameter(i, setting(i));
    if (!host.activate(44100.0, uint32_t(kBlock))) return state.SkipWithError("not activated");
    const clap_plugin* p = host.plugin();
    std::vector<float> l(kBlock), r(kBlock);
    float* out[2] = {l.data(), r.data()};
    float* in[2] = {nullptr, nullptr};
    clap_audio_buffer inputs{in, nullptr, 2, 0, 0};
    clap_audio_buffer outputs{out, nullptr, 2, 0, 0};
    qxhost::InputEvents events;
    events.events.push_back(qxhost::paramValueEvent(0, kInput, 0.0));
    qxhost::InputEvents none;
    qxhost::OutputEvents sent;
    clap_process block{};
    block.steady_time = -1;
    block.frames_count = uint32_t(kBlock);
    block.audio_inputs = &inputs;
    block.audio_outputs = &outputs;
    block.audio_inputs_count = block.audio_outputs_count = 1;
    block.in_events = kWrite ? &events.list : &none.list;
    block.out_events = &sent.list;
    qxhost::ClapSession::AudioScope audio;
    size_t at = 0;
    for (auto _ : state) {
        in[0] = const_cast<float*>(material().l.data() + at);
        in[1] = const_cast<float*>(material().r.data() + at);
        if (kWrite) events.events[0].value.value = written(at / kBlock);
        p->process(p, &block);
        benchmark::DoNotOptimize(l.data());
        at = at + 2 * kBlock > static_cast<size_t>(kFrames) ? 0 : at + kBlock;
    }
    setCounters(state);
}
BENCHMARK(BM_ClapProcess<false>)->Name("BM_ClapProcess")->ArgName("block")
    ->Arg(512)->Arg(32)->Arg(16);
BENCHMARK(BM_ClapProcess<true>)->Name("BM_ClapProcessWrite")->ArgName("block")
    ->Arg(512)->Arg(32)->Arg(16);
#endif

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
