#pragma once
// The limiter behind the LV2 interface: holds the format-neutral model, hands it the control
// ports' changes and the audio of each run, and reports the meters.
//
// Threads, as LV2 classes them: create, activate, deactivate and the destructor come from the
// host's set-up thread ("instantiation" class); connect and run from the audio thread, never at
// the same time as the set-up calls. run allocates nothing, locks nothing, makes no system call.
//
// Bad host input gets the answers of the VST 2 module: a sample rate of 0, NaN or beyond 1 MHz
// leaves the engine at 44.1 kHz; NaN or out-of-range control values reach the engine unchanged
// (it reads them as the VST 2 module does); a run before activate, or with an audio port
// unconnected, writes silence to the connected outputs; sample counts of any size are processed.

#include "dsp/LimiterEngine.h"
#include "dsp/ParamIndex.h"
#include "model/LimiterModel.h"
#include "lv2/MeterHistory.h"
#include "lv2/MeterMessages.h"
#include "lv2/MeterProtocol.h"

#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>

#include <cstdint>

namespace qx::lv2 {

class LimiterPlugin final : private PinQuery {
public:
    static constexpr int32_t kDefaultBlockSize = 4096;

    // Null when out of memory. `features` may be null; urid:map enables the atom ports, and the
    // options' bufsz:maxBlockLength (else bufsz:nominalBlockLength) sizes the work buffers.
    static LimiterPlugin* create(double sampleRate, const LV2_Feature* const* features);
    ~LimiterPlugin() = default;

    void connect(uint32_t port, void* data);
    void activate();
    void deactivate();
    void run(uint32_t frames);

    // For tests.
    const ParamArray& values() const { return model_.values(); }
    const LimiterEngine& engine() const { return model_.engine(); }

private:
    LimiterPlugin(double sampleRate, const LV2_Feature* const* features);
    // LV2 has no pin query: every pin counts as connected, as in a host that never answers.
    bool inputConnected(int) override { return true; }
    bool outputConnected(int) override { return true; }

    // The control ports whose value differs from the model's, as changes at the run's start.
    int32_t readControls(ParamChange* changes);
    void readAcks();
    void writeMeterPorts(const RunExtremes& run, uint32_t frames);
    void writeReport();

    LimiterModel model_;
    MeterHistory history_;
    MeterUrids urids_;
    LV2_Atom_Forge forge_{};
    bool haveUrids_ = false;

    void* ports_[kNumPorts] = {};
    double rate_ = 44100.0;     // the engine's rate, for the clip hold
    uint64_t clipHoldLeft_ = 0; // frames the clip port stays at 1
};

} // namespace qx::lv2
