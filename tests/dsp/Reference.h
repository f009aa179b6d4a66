#pragma once
// A plain transcription of the limiter's formulas: one scalar step at a time, buffers as large as
// the block, no shortcuts. The optimised engine must match it bit for bit.

#include "core/ParamTable.h"

#include <cstdint>
#include <vector>

namespace qx::ref {

struct Channel {
    float lastLevel = 0.0f, softSpeed = 0.0f, gain = 1.0f, lastGain = 1.0f, phase = 0.0f,
          shapedGain = 1.0f, releaseRef = 0.0f, envelope = 1.0f;
};

void computeGains(Channel& c, const float* detector, float* gains, int n, bool soft,
                  float releaseRate, float pressureMix, float releaseBrake, float rateRatio);
void combineGains(float* left, float* right, int n);

struct Coefs {
    float inputGain, outputGain, punchCoef, releaseRate, pressureMix, releaseBrake;
};
Coefs coefficients(const float* params, float sampleRate);

struct Engine {
    float params[kNumParams];
    float sampleRate = 44100.0f, rateRatio = 1.0f;
    Channel ch[2];
    float punchIn[2] = {0, 0}, punchOut[2] = {0, 0};
    float minGain = 1.0f, peakOut = 0.0f;
    int clipHold = 0, singleChannel = 0;
    bool inPin[2] = {true, true}, outPin[2] = {true, true};

    Engine() {
        for (int i = 0; i < kNumParams; ++i) params[i] = kParamTable[i].defaultValue;
    }
    void setSampleRate(float rate);
    void resume();
    void process(const float* const* in, float* const* out, int n, bool accumulate);
};

} // namespace qx::ref
