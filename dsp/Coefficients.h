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

// in, pr, r1, r2, out: Input, Pressure, Release1, Release2, Output as stored. Each is read limited
// to 0..1 (NaN as 0), so whatever a host stored, every coefficient lies in the range its formula
// spans over 0..1: inputGain 1..181, outputGain 0.000025..2, pressureMix 0..1, releaseBrake
// 400..3000000, releaseRate 0.00004..0.03. Values inside 0..1 give the formulas' exact results.
// `sampleRate` must be positive (the engine screens it).
Coefficients computeCoefficients(float in, float pr, float r1, float r2, float out,
                                 float sampleRate);

} // namespace qx
