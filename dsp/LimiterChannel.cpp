#include "dsp/LimiterChannel.h"

#include "dsp/KernelEntry.h"

#include <cmath>

namespace qx {

void LimiterChannel::reset() {
    lastLevel = 0.0f;
    softSpeed = 0.0f;
    gain = 1.0f;
    lastGain = 1.0f;
    phase = 0.0f;
    shapedGain = 1.0f;
    // Zero, not 1.0: the first release step after a reset is braked as if the shaped gain had just
    // risen all the way.
    releaseRef = 0.0f;
    envelope = 1.0f;
}

bool LimiterChannel::finite() const {
    const float fields[] = {lastLevel, softSpeed, gain,       lastGain,
                            phase,     shapedGain, releaseRef, envelope};
    for (float v : fields)
        if (!std::isfinite(v)) return false;
    return true;
}

void LimiterChannel::computeGains(const float* detector, int32_t n, const GainComputerSettings& s) {
    if (n <= 0 || detector == nullptr || gainBuffer == nullptr) return;
    kernel::Job job;
    job.mode = kernel::Mode::Detector;
    job.soft = s.soft;
    job.lane0 = this;
    job.detector = detector;
    job.gain0 = gainBuffer;
    job.n = n;
    job.params = {s.releaseRate, s.pressureMix, s.releaseBrake, s.rateRatio};
    kernel::run(job);
}

void LimiterChannel::combineGains(float* left, float* right, int32_t n) {
    if (left == nullptr || right == nullptr) return;
    for (int32_t i = 0; i < n; ++i) {
        const double P = left[i];
        const double Q = right[i];
        // The products can land a rounding step off the smaller gain; the raise pins them to it.
        const double qOverP = Q / P;
        double p2 = P * (qOverP < 1.0 ? qOverP : 1.0);
        if (qOverP < 1.0 && p2 < Q) p2 = Q;
        const double pOverQ = P / Q;
        double q2 = Q * (pOverQ < 1.0 ? pOverQ : 1.0);
        if (pOverQ < 1.0 && q2 < P) q2 = P;
        left[i] = static_cast<float>(p2);
        right[i] = static_cast<float>(q2);
    }
}

} // namespace qx
