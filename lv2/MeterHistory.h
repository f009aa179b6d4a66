#pragma once
// The DSP side of the meter hand-over: the extremes of each run in a fixed ring, and what the UI
// has not acknowledged yet. Audio thread only; no allocation.

#include "lv2/MeterProtocol.h"

#include <cstdint>

namespace qx::lv2 {

struct RunExtremes {
    float minGain = 1.0f;  // smallest applied gain
    float peakOut = 0.0f;  // largest |output sample|
    bool clip = false;     // an output sample above 1.0

    void merge(const RunExtremes& o);
};

class MeterHistory {
public:
    // Forgets every run and every ack; the sequence numbers go on, so an ack that was on its way
    // before cannot drop anything recorded after.
    void restart();

    // Records one run and answers its sequence number (the first run is 1).
    int64_t add(const RunExtremes& run);

    // The UI has taken the report of run `sequence`: from now on only later runs are pending.
    // Acks older than the last one or newer than the last run are ignored; one older than the
    // ring drops nothing (the UI then sees those extremes again rather than losing any).
    void acknowledge(int64_t sequence);

    // The extremes of every run after the last usable ack.
    const RunExtremes& pending() const { return pending_; }
    int64_t lastSequence() const { return last_; }
    // The newest ack taken into account (restart counts every earlier one).
    int64_t acknowledged() const { return acked_; }

private:
    RunExtremes ring_[kHistoryRuns];
    RunExtremes pending_;
    int64_t last_ = 0;   // sequence number of the newest run
    int64_t acked_ = 0;  // newest acknowledged sequence number
};

} // namespace qx::lv2
