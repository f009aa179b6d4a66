#pragma once
// Take-and-reset of the engine's meter fields, for a panel or a host's meter outputs.
//
// The audio thread only ever lowers minGain, raises peakOut and sets clipHold; a reader takes a
// reading and resets it in one atomic step each, so an extreme the audio thread leaves between
// two reads is never lost. The clip hold counts down once per panel tick from kClipHoldTicks.
//
// Threads: one reader (the panel's tick, or a wrapper's report) at a time; the engine writes
// from the audio thread.

#include "dsp/LimiterEngine.h"

#include <cstdint>

namespace qx {

struct MeterReading {
    float minGain = 1.0f;   // smallest applied gain since the last take
    float peakOut = 0.0f;   // largest absolute output sample since the last take
    int32_t clipHold = 0;   // kClipHoldTicks right after a clip, counted down by the reader
    int32_t singleChannel = 0;
};

class MeterReader {
public:
    explicit MeterReader(MeterShared& shared) : shared_(shared) {}

    float takeMinGain();
    float takePeakOut();
    int32_t clipHold() const;
    // Lowers the hold from `seen` to `seen - 1`, unless a new clip set it meanwhile.
    void countDownClipHold(int32_t seen);
    int32_t singleChannel() const;

    // All four at once: minGain and peakOut taken, clipHold read (not counted down).
    MeterReading take();
    // All four as they stand, nothing reset: for a reader that clears before each block.
    MeterReading peek() const;
    // Puts the fields back to idle (a wrapper's run that reports per block), keeping singleChannel.
    void clear();
    // Sets all four (a test tool's injected reading, the panel's initial state).
    void store(const MeterReading& r);

private:
    MeterShared& shared_;
};

} // namespace qx
