#pragma once
// What the panel needs of the effect it shows, and nothing more: the panel reads values, makes
// its edits as gestures, pulls what the host changed, and takes the meter readings through this
// interface, so it works the same in front of any plug-in format (or a test's stand-in) that
// implements it.
//
// The panel never writes a value except as an edit of the user's: opening, initialising or
// closing it leaves the model as it was.
//
// Threads: every call comes from the thread that drives the panel (the host's user-interface
// thread). An implementation shares the values and meters with its audio thread as single
// 32-bit atomics; the take/count-down calls must then be single atomic steps, so that a reading
// the audio thread leaves between two ticks is never lost.

#include <cstdint>

namespace qx {

class PanelModel {
public:
    // takeChanged(): this bit asks for the whole panel to be shown again.
    static constexpr uint32_t kAllChanged = 1u << 31;

    // The current value of parameter `index` (0..10).
    virtual float readParameter(int32_t index) = 0;
    // An edit of the user's: begin, one or more values, end. Every value is stored, takes effect
    // in the signal path and reaches the host (as automation, or the format's gesture calls).
    // A click or a reset to the default is one value between a begin and an end.
    virtual void beginEdit(int32_t index) = 0;
    virtual void writeParameter(int32_t index, float value) = 0;
    virtual void endEdit(int32_t index) = 0;
    // What changed since the last call other than through the panel's own edits: bit `index`
    // for a parameter, kAllChanged for everything (program change, state load, switch-on).
    virtual uint32_t takeChanged() = 0;

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

protected:
    ~PanelModel() = default;
};

} // namespace qx
