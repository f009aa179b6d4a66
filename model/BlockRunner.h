#pragma once
// Runs one host block through the engine with the parameter changes the host timed inside it.
//
// A change at frame offset f applies from sample f on: samples before it are processed with the
// old value. The runner cuts the block at every offset that carries a change, applies all the
// changes at that offset (in list order, so the last write of a parameter wins) and recomputes
// the coefficients once per cut. Offsets must be sorted; an offset outside the block is clamped
// into it (before 0 counts as 0, at or past the end applies after the last sample), an unknown
// parameter is skipped. Pieces longer than the engine's buffer are split by the engine; blocks
// beyond the engine's 32-bit frame count (LV2 counts in unsigned 32 bits) are run in pieces.
//
// A missing buffer (null port) or a model that is not running leaves silence in every output
// that exists when the format asks for it (IdleOutput::Silent), or leaves the outputs untouched
// (Untouched, the VST 2 behaviour); the changes are applied either way.
//
// Threads: the audio thread. No allocation, lock or system call.

#include "dsp/LimiterEngine.h"

#include <cstdint>

namespace qx {

class LimiterModel;

struct ParamChange {
    int32_t frame;  // offset in the block
    int32_t index;  // parameter id (= index)
    float value;
};

struct AudioBlock {
    const float* const* inputs = nullptr;  // two channels; a null entry is a missing port
    float* const* outputs = nullptr;
    uint32_t frames = 0;
    bool accumulate = false;               // add into the outputs instead of replacing them
};

enum class IdleOutput { Silent, Untouched };

class BlockRunner {
public:
    static void run(LimiterModel& model, const AudioBlock& block, const ParamChange* changes,
                    int32_t count, PinQuery& pins, IdleOutput idle);
};

} // namespace qx
