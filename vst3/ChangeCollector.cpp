#include "vst3/ChangeCollector.h"

#include "vst3/ParamMapping.h"

namespace qx::vst3 {

int32 ChangeCollector::collect(IParameterChanges* changes, int32 frames) {
    runCount_ = 0;
    count_ = 0;
    if (changes == nullptr) return 0;
    if (frames < 0) frames = 0;
    const int32 queues = changes->getParameterCount();
    for (int32 q = 0; q < queues && runCount_ < kMaxQueues; ++q) {
        IParamValueQueue* queue = changes->getParameterData(q);
        if (queue != nullptr) readQueue(*queue, frames);
    }
    merge();
    return count_;
}

void ChangeCollector::readQueue(IParamValueQueue& queue, int32 frames) {
    const ParamID id = queue.getParameterId();
    if (stepCount(id) < 0) return;
    const auto index = static_cast<int32_t>(id);
    Run run{count_, count_};
    int32 lastFrame = 0;
    const int32 points = queue.getPointCount();
    for (int32 p = 0; p < points; ++p) {
        int32 offset = 0;
        ParamValue value = 0.0;
        if (queue.getPoint(p, offset, value) != kResultOk) continue;
        if (offset < lastFrame) offset = lastFrame;
        if (offset > frames) offset = frames;
        lastFrame = offset;
        const float stored = id == kProgramParamId
                                 ? static_cast<float>(stateOf(kProgramSteps, value))
                                 : storedValue(index, value);
        if (run.end < kCapacity) {
            gathered_[run.end++] = ParamChange{offset, index, stored};
        } else if (run.end > run.begin) {
            gathered_[run.end - 1].value = stored; // full: the queue's last value still lands
        }
    }
    if (run.end == run.begin) return;
    runs_[runCount_++] = run;
    count_ = run.end;
}

// Each run is sorted; take the earliest head, the first run on a tie, until all are empty.
void ChangeCollector::merge() {
    int32 heads[kMaxQueues];
    for (int32 r = 0; r < runCount_; ++r)
        heads[r] = runs_[r].begin;
    for (int32 out = 0; out < count_; ++out) {
        int32 best = -1;
        for (int32 r = 0; r < runCount_; ++r) {
            if (heads[r] == runs_[r].end) continue;
            if (best < 0 || gathered_[heads[r]].frame < gathered_[heads[best]].frame) best = r;
        }
        merged_[out] = gathered_[heads[best]++];
    }
}

} // namespace qx::vst3
