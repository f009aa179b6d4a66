#pragma once
// Entry to the gain kernel (GainKernel.h), built once per instruction set. The arithmetic is the
// same IEEE double arithmetic in every build, so every variant gives the same bits; the wider
// sets only bring more registers and three-operand forms, which shorten the dependency chain.
//
// Internal to dsp/.

#include "dsp/LimiterChannel.h"

#include <cstdint>

namespace qx::kernel {

enum class Mode {
    Detector, // detector samples are given, one gain computer
    Single,   // one input channel conditioned, one gain computer
    Dual,     // two channels conditioned, two independent gain computers
    DualHQ,   // as Dual, and both channels take the smaller gain sample by sample
    Normal,   // two channels conditioned, one gain computer on the louder sample
};

struct GainParams {
    float releaseRate;
    float pressureMix;
    float releaseBrake;
    float rateRatio;
};

// One call's worth of work. Lane 0 always carries a real gain computer; lane 1 carries the second
// one in the Dual modes and is a stand-in otherwise. Input lane 1 is the right channel in the
// Dual and Normal modes; in Single mode in1 equals in0 and punch state 1 equals state 0.
struct Job {
    Mode mode = Mode::Detector;
    bool soft = false;
    LimiterChannel* lane0 = nullptr;
    LimiterChannel* lane1 = nullptr;
    const float* in0 = nullptr;
    const float* in1 = nullptr;
    float* audio0 = nullptr;
    float* audio1 = nullptr;
    float punchIn[2] = {0.0f, 0.0f};  // updated by the call
    float punchOut[2] = {0.0f, 0.0f}; // updated by the call
    float punchCoef = 0.0f;
    float inputGain = 1.0f;
    bool lowPunch = false;
    const float* detector = nullptr;
    float* gain0 = nullptr;
    float* gain1 = nullptr;
    int32_t n = 0;
    GainParams params{};
};

enum class Isa { Baseline, Avx2, Avx512 };

// The widest variant this processor and operating system can run.
Isa bestIsa();
// The variant in use; starts at bestIsa(). useIsa() picks another (limited to bestIsa()), so the
// tests can hold every variant against the reference and the benchmark can compare them.
Isa activeIsa();
void useIsa(Isa isa);

void run(Job& job);

void runBaseline(Job& job);
void runAvx2(Job& job);
void runAvx512(Job& job);

} // namespace qx::kernel
