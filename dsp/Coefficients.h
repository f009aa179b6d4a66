#pragma once
// The six coefficients the engine reads, computed from the parameter values and the sample rate.

namespace qx {

struct Coefficients {
    float inputGain = 1.0f;
    float outputGain = 1.0f;
    float punchCoef = 0.0f;
    float releaseRate = 0.0f;
    float pressureMix = 0.0f;
    float releaseBrake = 0.0f;
};

// in, pr, r1, r2, out: Input, Pressure, Release1, Release2, Output as stored (normally 0..1).
Coefficients computeCoefficients(float in, float pr, float r1, float r2, float out,
                                 float sampleRate);

} // namespace qx
