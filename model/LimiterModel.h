#pragma once
// The limiter as every plug-in format sees it: the eleven current values, the engine, the ten
// programs and the meters. A wrapper (VST 2, LV2, VST 3, CLAP) translates its host's calls into
// these verbs and holds no parameter storage, recalculation, program logic, meter reset or
// block splitting of its own.
//
// Threads:
//   - setParameter: any thread (host automation, the audio thread through timed changes); every
//     value is a single 32-bit atomic, so a reader sees the old or the new value, never a torn one.
//   - beginEdit / editParameter / endEdit: the panel's thread; the listener is called there.
//   - programs, names and state: the host's user-interface or main thread, never while the audio
//     thread runs a block that the change would tear (hosts serialise these).
//   - setSampleRate, setMaxBlockSize, activate, deactivate: the host's set-up thread while the
//     audio thread is not processing.
//   - process: the audio thread. No allocation, lock, system call or exception.
//   - takeChanged and the meter reader: the panel's thread.
// Nothing here calls back into a host; the listener is only called from the panel's edits.

#include "dsp/LimiterEngine.h"
#include "dsp/ParamIndex.h"
#include "model/BlockRunner.h"
#include "model/MeterReader.h"
#include "model/ModelListener.h"
#include "model/ProgramBank.h"
#include "model/StateBlob.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace qx {

class LimiterModel {
public:
    static constexpr int32_t kNumPrograms = ProgramBank::kNumPrograms;
    // takeChanged(): bit `index` for a parameter written by the host, kAllChanged when every
    // control must be shown again (program change, state load, switch-on).
    static constexpr uint32_t kAllChanged = 1u << 31;

    // Defaults in every program, program 0 current, 44.1 kHz, switched off.
    LimiterModel();
    LimiterModel(const LimiterModel&) = delete;
    LimiterModel& operator=(const LimiterModel&) = delete;

    static bool validParam(int32_t index) { return index >= 0 && index < kNumParams; }

    // --- Parameters
    // The current value; 0 for an index outside the table.
    float parameter(int32_t index) const;
    const ParamArray& values() const { return params_; }
    // A host's write: stored unchanged (no clamping) in the current values and the current
    // program, coefficients recomputed, the panel marked. Unknown indices are ignored.
    void setParameter(int32_t index, float value);
    // Puts `value` into the current values only (no program, no mark) and recomputes: the VST 2
    // panel defaults written at construction.
    void storeCurrentValue(int32_t index, float value);

    // --- The panel's edits: begin, any number of values, end. Each value is stored as a host
    // write is (without marking the panel, which draws it itself) and passed to the listener.
    void setListener(ModelListener* listener) { listener_ = listener; }
    void beginEdit(int32_t index);
    void editParameter(int32_t index, float value);
    void endEdit(int32_t index);

    // --- Programs
    int32_t currentProgram() const { return currentProgram_.load(std::memory_order_relaxed); }
    // Makes `program` current and loads its values as host writes; false (nothing changed) for
    // an index outside 0..9.
    bool selectProgram(int32_t program);
    // Names are at most 23 characters; longer ones are cut. Null or invalid indices are ignored
    // (false).
    bool setProgramName(int32_t program, const char* name);
    // The name of `program`, "" for an invalid index.
    const char* programName(int32_t program) const;
    // Copies the current program (values and name) into `destination`; false when invalid.
    bool copyCurrentProgramTo(int32_t destination);
    ProgramBank& programs() { return programs_; }
    const ProgramBank& programs() const { return programs_; }

    // --- Set-up (the engine screens odd values, see LimiterEngine.h)
    void setSampleRate(double rate);
    void setMaxBlockSize(int32_t frames);
    void setMaxBlockSizeAndSampleRate(int32_t frames, double rate);
    void activate();   // clears the engine's state and starts processing; marks the panel
    void deactivate();
    bool active() const { return engine_.running(); }
    float sampleRate() const { return engine_.sampleRate(); }
    int32_t maxBlockSize() const { return engine_.blockSize(); }

    // --- Processing: one host block with its timed changes (see BlockRunner.h).
    void process(const AudioBlock& block, const ParamChange* changes, int32_t count,
                 PinQuery& pins, IdleOutput idle = IdleOutput::Silent) {
        BlockRunner::run(*this, block, changes, count, pins, idle);
    }
    // Applies a list of changes as host writes, in order, and recomputes the coefficients once:
    // a parameter flush outside processing, or the changes at one offset inside it.
    void applyChanges(const ParamChange* changes, int32_t count);

    // --- State
    // Writes the record into `out` when `capacity` holds StateBlob::kSize bytes; answers the
    // record's size (also when it did not fit, then nothing is written).
    std::size_t saveState(void* out, std::size_t capacity) const;
    // Loads a record; anything but Ok leaves the model exactly as it was.
    StateBlob::Result loadState(const void* data, std::size_t size);

    // --- The panel's pull and the meters
    uint32_t takeChanged() { return changed_.exchange(0, std::memory_order_relaxed); }
    void markAllChanged() { changed_.fetch_or(kAllChanged, std::memory_order_relaxed); }
    MeterReader& meters() { return meterReader_; }

    // The engine, for the block runner, wrappers' read-outs and tests.
    LimiterEngine& engine() { return engine_; }
    const LimiterEngine& engine() const { return engine_; }

private:
    // Current value and current program; the caller recomputes.
    void storeValue(int32_t index, float value);

    ParamArray params_{};
    LimiterEngine engine_;
    ProgramBank programs_;
    MeterReader meterReader_;
    std::atomic<int32_t> currentProgram_{0};
    std::atomic<uint32_t> changed_{0};
    ModelListener* listener_ = nullptr;
};

} // namespace qx
