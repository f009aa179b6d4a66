// vst3_render MODULE OUT: one fixed session through a VST 3 bundle binary, every output sample
// written to OUT as 32-bit floats. Built for Linux and for both Windows widths; the test compares
// the files bit for bit, so the three binaries must compute the same samples.
//
// The session: three rates, blocks of pseudo-random length with timed changes of every
// parameter (switches too) at pseudo-random offsets, program changes in the queues, a mono
// input arrangement, and a state saved and loaded into a fresh instance halfway.
#include "dsp/ParamIndex.h"
#include "tests/vst3/Vst3TestHost.h"

#include <cstdio>
#include <vector>

using namespace qx::vst3;
using namespace qx::vst3::test;

namespace {

uint32_t lcgState = 12345;
uint32_t next(uint32_t range) {
    lcgState = lcgState * 1664525u + 1013904223u;
    return (lcgState >> 8) % range;
}

void run(Instance& p, int blocks, int64_t& time, std::vector<float>& out, bool mono) {
    for (int b = 0; b < blocks; ++b) {
        StereoBlock block(int32_t(1 + next(700)));
        block.fillSignal(time, 2.5f);
        if (mono) block.inBus.numChannels = 1;
        for (uint32_t c = next(3); c > 0; --c)
            block.inChanges.add(ParamID(next(qx::kNumParams)),
                                int32_t(next(uint32_t(block.data.numSamples))), next(65) / 64.0);
        if (b % 10 == 9) block.inChanges.add(qx::kNumParams, int32_t(next(8)), next(10) / 9.0);
        p.processor->process(block.data);
        for (int i = 0; i < block.data.numSamples; ++i)
            for (int c = 0; c < 2; ++c)
                out.push_back(block.out[c][size_t(i)]);
        time += block.data.numSamples;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vst3_render MODULE OUT\n");
        return 2;
    }
    Vst3Module::sharedPath = argv[1];
    if (Vst3Module::shared().factory() == nullptr) {
        std::fprintf(stderr, "vst3_render: %s did not load\n", argv[1]);
        return 1;
    }
    std::vector<float> out;
    for (double rate : {44100.0, 48000.0, 96000.0}) {
        int64_t time = 0;
        MemoryStream state;
        {
            Instance p;
            p.controller->setParamNormalized(qx::kPressure, 0.9);
            p.start(rate, 1024);
            run(p, 40, time, out, false);
            p.component->getState(&state);
        }
        Instance fresh;
        state.position = 0;
        fresh.component->setState(&state);
        fresh.start(rate, 1024);
        run(fresh, 40, time, out, false);
    }
    Instance mono;
    SpeakerArrangement in = kMono, outArr = kStereo;
    mono.processor->setBusArrangements(&in, 1, &outArr, 1);
    mono.start(44100.0, 1024);
    int64_t time = 0;
    run(mono, 30, time, out, true);

    std::FILE* f = std::fopen(argv[2], "wb");
    if (f == nullptr || std::fwrite(out.data(), sizeof(float), out.size(), f) != out.size()) {
        std::fprintf(stderr, "vst3_render: cannot write %s\n", argv[2]);
        return 1;
    }
    std::fclose(f);
    std::printf("%zu samples\n", out.size());
    return 0;
}
