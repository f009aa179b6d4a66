#pragma once
// One channel's gain computer: turns a block of detector samples into per-sample gain factors.
//
// Legend (all 32-bit floats, updated once per control step; the control law runs on every sample
// at 44.1 kHz and below, and on a 44.1 kHz grid at higher rates, where a sample off the grid is a
// control step too when its level rises above lastLevel, past full scale and the attack point, so
// that no onset passes at the gain of the step before):
//   lastLevel   detector level x at the previous control step
//   softSpeed   decaying memory of the Soft stage's fastest recent speed, 0..1
//   gain        gain applied to the channel (result of the last control step), (0, 1]
//   lastGain    gain as left by the previous Soft-mode control step
//   phase       control-rate accumulator, advanced by rateRatio per sample; sets the grid
//   shapedGain  envelope after the Pressure shaping, <= 1
//   releaseRef  shapedGain at the previous release step
//   envelope    core gain state e, (0, 1]
// Stored values are floats; arithmetic between stores is done in double.
//
// Called on the audio thread only. No allocation; the gain buffer is owned by the engine.

#include <cstdint>

namespace qx {

struct GainComputerSettings {
    bool soft;         // Limit switch: Soft stage when true, Hard otherwise
    float releaseRate; // Release1 coefficient
    float pressureMix; // weight of the square-root term of the Pressure shaping
    float releaseBrake;// Release2 coefficient
    float rateRatio;   // 44100 / sample rate
};

class LimiterChannel {
public:
    float* gainBuffer = nullptr;
    float lastLevel = 0.0f;
    float softSpeed = 0.0f;
    float gain = 1.0f;
    float lastGain = 1.0f;
    float phase = 0.0f;
    float shapedGain = 1.0f;
    float releaseRef = 0.0f;
    float envelope = 1.0f;

    // Puts every state field (not the buffer) to its value after a switch-on.
    void reset();
    // True when no state field is NaN or infinite.
    bool finite() const;

    // Writes gainBuffer[0 .. n-1] from detector[0 .. n-1]; does nothing for n <= 0. The settings
    // are coefficients as computeCoefficients makes them (releaseRate 0.00004..0.03, pressureMix
    // 0..1, releaseBrake 400..3000000) and a finite positive rateRatio. Within those ranges every gain
    // lies in (0, 1] and the state stays finite for any finite detector level up to the float
    // limit, without a guard in the per-sample path; the engine never passes anything else.
    void computeGains(const float* detector, int32_t n, const GainComputerSettings& s);

    // HQ link: both buffers receive the smaller of the two gains, sample by sample.
    static void combineGains(float* left, float* right, int32_t n);
};

} // namespace qx
