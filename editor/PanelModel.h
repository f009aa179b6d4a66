#pragma once
// What the panel needs of the effect it shows, and nothing more: the panel reads and writes
// parameter values and takes the meter readings through this interface, so it works the same in
// front of any plug-in format (or a test's stand-in) that implements it.
//
// Threads: every call comes from the thread that drives the panel (the host's user-interface
// thread). An implementation shares the values and meters with its audio thread as single
// 32-bit atomics; the take/count-down calls must then be single atomic steps, so that a reading
// the audio thread leaves between two ticks is never lost.

#include <cstdint>

namespace qx {

class PanelModel {
public:
    // The current value of parameter `index` (0..10).
    virtual float readParameter(int32_t index) = 0;
    // Puts `value` into the current values and nothing else: no program, no host report.
    virtual void storeParameter(int32_t index, float value) = 0;
    // A change made on the panel: store `value`, then let the effect keep its program and
    // coefficients in step and report the value to the host as automation.
    virtual void writeParameter(int32_t index, float value) = 0;
    // Recomputes the signal path's coefficients from the current values.
    virtual void recalculate() = 0;

    // The smallest applied gain since the last take (1.0 when idle), reset to 1.0 in one step.
    virtual float takeMinGain() = 0;
    // The largest absolute output sample since the last take (0.0 when idle), reset to 0.0.
    virtual float takePeakOut() = 0;
    // The clip-hold count: 27 right after an output sample above full scale.
    virtual int32_t clipHold() = 0;
    // Lowers the clip-hold count from `seen` to `seen - 1`, unless a new clip set it meanwhile.
    virtual void countDownClipHold(int32_t seen) = 0;
    // 1 while exactly one input channel is processed.
    virtual int32_t singleChannel() = 0;
    // Sets all four meter fields (the panel's initial state, a test tool's injected reading).
    virtual void storeMeters(float minGain, float peakOut, int32_t clipHold,
                             int32_t singleChannel) = 0;

protected:
    ~PanelModel() = default;
};

} // namespace qx
