#include "dsp/Coefficients.h"

#include <cmath>

namespace qx {

namespace {

// A host may store NaN or an infinity in a parameter. Those have no setting to stand for and
// would carry into the gain computer's state for good, so they count as the nearest end of the
// range; finite values, in range or not, go into the formulas as they are.
double usable(float v) {
    if (std::isnan(v)) return 0.0;
    if (std::isinf(v)) return v > 0.0f ? 1.0 : 0.0;
    return v;
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
