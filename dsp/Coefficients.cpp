#include "dsp/Coefficients.h"

namespace qx {

namespace {

// The formulas are meant for the normalised range, and outside it several break: Release2 below
// 0 gives a negative brake and a division by zero in the release, Pressure above 1 a negative
// shaped gain, Release2 or Release1 near 1e30 an infinite coefficient (and 0 times infinity in
// the release), Output near 1e30 an infinite output gain. So each formula reads its parameter
// limited to 0..1, NaN as 0: a value outside acts as the nearest end of the range, and a value
// inside passes unchanged, so its coefficients are exactly the formulas'.
double usable(float v) {
    if (v > 1.0f) return 1.0;
    if (v >= 0.0f) return v;
    return 0.0; // below 0, or NaN
}

} // namespace

// Written out as products, without library calls: recalculate runs on every knob tick of a drag.
// The arithmetic is done in double and each coefficient is rounded once, when it is stored.
Coefficients computeCoefficients(float in, float pr, float r1, float r2, float out,
                                 float sampleRate) {
    const double In = usable(in), Pr = usable(pr), R1 = usable(r1), R2 = usable(r2),
                 Out = usable(out);
    Coefficients c;

    // First-order allpass whose phase passes 90 degrees at 200 Hz (628.31854 = 200 pi).
    const double a = 628.31854f / static_cast<double>(sampleRate);
    c.punchCoef = static_cast<float>(-(1.0 - a) / (a + 1.0));

    c.inputGain = static_cast<float>(1.0 + 180.0 * (In * In * In));

    // The output is pulled down as Input rises, by up to a factor 4 from Input 0.27 on
    // (3.7037036 = 100/27), and never fully muted.
    double k = 3.7037036f * In;
    if (k > 1.0) k = 1.0;
    double outScale = 2.0 * Out;
    if (outScale < 0.0001f) outScale = 0.0001f;
    c.outputGain = static_cast<float>(outScale * (1.0 - k + 0.25 * k));

    const double p = 1.0 - Pr;
    c.pressureMix = static_cast<float>(p * p * p);

    const double r2c = R2 * R2 * R2;
    c.releaseBrake = static_cast<float>(400.0 * (1.0 - r2c) + 3000000.0 * r2c);

    const double q = (1.0 - R1) * (1.0 - R1);
    c.releaseRate = static_cast<float>(0.00004f * (1.0 - q) + 0.03f * q);
    return c;
}

} // namespace qx
