#include "lv2/MeterHistory.h"

#include <algorithm>

namespace qx::lv2 {

void RunExtremes::merge(const RunExtremes& o) {
    minGain = std::min(minGain, o.minGain);
    peakOut = std::max(peakOut, o.peakOut);
    clip = clip || o.clip;
}

void MeterHistory::restart() {
    for (RunExtremes& r : ring_) r = RunExtremes{};
    pending_ = RunExtremes{};
    acked_ = last_;
}

int64_t MeterHistory::add(const RunExtremes& run) {
    ++last_;
    ring_[last_ % kHistoryRuns] = run;
    pending_.merge(run);
    return last_;
}

void MeterHistory::acknowledge(int64_t sequence) {
    if (sequence <= acked_ || sequence > last_) return;
    acked_ = sequence;
    // The ring holds runs last_ - kHistoryRuns + 1 .. last_.
    if (last_ - sequence > kHistoryRuns) return;
    pending_ = RunExtremes{};
    for (int64_t s = sequence + 1; s <= last_; ++s) pending_.merge(ring_[s % kHistoryRuns]);
}

} // namespace qx::lv2
